#!/usr/bin/env python3
"""What a user could script instead: the same 300-problem Compact Test page drawn with
ReportLab (name line, title, 600 lines of monospaced digits with 300 underlines, bottom line),
on A4 with 1/4 inch margins. Usage: reportlab_page.py OUT.pdf"""
import sys

from reportlab.lib.pagesizes import A4
from reportlab.pdfgen import canvas

width, height = A4
scale = (width - 36) / 600.0  # 100 character units across, shrunk to fit as SBK3 does
unit_x, unit_y = 6 * scale, 12 * scale
page = canvas.Canvas(sys.argv[1], pagesize=A4)
left, top = 18, height - 18
page.setFont("Helvetica", 12 * scale)
page.drawString(left, top - 11 * scale, "Name" + "_" * 30)
page.setFont("Helvetica", 24 * scale)
page.drawString(left, top - 36 * scale, "Drill MIX300042")
ops = ["+", "-", "x", "\u00f7"]
page.setFont("Courier", 12 * scale)
for k in range(300):
    x = left + (k % 20 * 5 + 1) * unit_x
    y = top - (k // 20 * 4 + 4) * unit_y
    first, second = k % 82, 1 + k % 9
    page.drawString(x, y - 11 * scale, " " + ("%2d" % first))
    lower = ops[k % 4] + ("%2d" % second)
    page.drawString(x, y - 25 * scale, lower)
    page.line(x, y - 27 * scale, x + page.stringWidth(lower, "Courier", 12 * scale), y - 27 * scale)
page.setFont("Helvetica", 6 * scale)
page.drawString(left + unit_x, 18 + 0.6 * unit_y - 6 * scale, "Bottom")
page.showPage()
page.save()
