# Package lists shared by ./run and ./test (sourced).
BUILD_PACKAGES=(g++ cmake make pkg-config qt6-base-dev qt6-serialport-dev libgl-dev fonts-wine)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev python3 libreoffice-calc-nogui libreoffice-writer-nogui python3-xlrd dpkg-dev file valgrind g++-mingw-w64-x86-64-posix wine64)
