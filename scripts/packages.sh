# Package lists shared by ./run and ./test (sourced).
BUILD_PACKAGES=(g++ cmake make pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev libgl-dev fonts-wine qt6-translations-l10n zlib1g-dev fonts-dejavu-core)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev python3 libreoffice-calc-nogui libreoffice-writer-nogui python3-xlrd dpkg-dev file valgrind shared-mime-info g++-mingw-w64-x86-64-posix wine64 libz-mingw-w64-dev poppler-utils qpdf)
