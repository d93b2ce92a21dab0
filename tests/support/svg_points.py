#!/usr/bin/python3
"""Counts the points of each load channel in a chart SVG: the distinct vertices of the lines
stroked in the channel's colour, and the dots of records that stand alone."""
import re
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
CHANNELS = {"L1": "#1f5fbf", "L2": "#2e9a3c"}


def main(path):
    root = ET.parse(path).getroot()
    for name, colour in CHANNELS.items():
        vertices = set()
        dots = 0
        for group in root.iter(SVG + "g"):
            if group.get("stroke") != colour:
                continue
            shift = re.findall(r"[-0-9.e]+", group.get("transform", "matrix(1,0,0,1,0,0)"))[-2:]
            for element in group:
                text = element.get("d") or element.get("points") or ""
                numbers = re.findall(r"-?[0-9.]+(?:e-?[0-9]+)?", text)
                for x, y in zip(numbers[0::2], numbers[1::2]):
                    vertices.add((round(float(x) + float(shift[0]), 3), round(float(y) + float(shift[1]), 3)))
                if element.tag in (SVG + "circle", SVG + "ellipse"):
                    dots += 1
        print(name, len(vertices) + dots)


main(sys.argv[1])
