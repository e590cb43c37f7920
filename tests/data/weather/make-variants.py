#!/usr/bin/env python3
"""Writes the small weather files the tests read, from chicago.epw beside it.

Each is a few hours of Chicago's year with one thing changed; run it again after
changing it: python3 make-variants.py
"""
import pathlib

here = pathlib.Path(__file__).parent
lines = (here / "chicago.epw").read_text(encoding="ascii").split("\n")
header, records = lines[:8], [l for l in lines[8:] if l]


def fields(line):
    return line.split(",")


def record(f):
    return ",".join(str(x) for x in f)


def period(start, end, per_hour=1):
    return f"DATA PERIODS,1,{per_hour},Data,Sunday, {start},{end}"


def write(name, head, body, end="\n", encoding="utf-8"):
    text = end.join(head + body) + end
    (here / name).write_bytes(text.encode(encoding))


# Chicago's first two days, as a file of its own.
two_days = records[:48]
write("two-days.epw", header[:7] + [period("1/ 1", "1/ 2")], two_days)

# No design conditions.
write("no-design.epw", [header[0], "DESIGN CONDITIONS,0"] + header[2:7] + [period("1/ 1", "1/ 2")],
      two_days)

# Latin-1 station name and comments.
write("latin1.epw",
      ["LOCATION,Zürich-Kloten,ZH,CHE,IWEC Données,066700,47.48,8.53,1.0,432.0"] + header[1:5] +
      ["COMMENTS 1,Données horaires de la station météo; température en °C",
       "COMMENTS 2,Erstellt für Prüfungen"] + [period("1/ 1", "1/ 2")],
      two_days, encoding="latin-1")

# CRLF line ends.
write("crlf.epw", header[:7] + [period("1/ 1", "1/ 2")], two_days, end="\r\n")

# The 2021 handbook layout: a longer heating group ahead of Cooling, which keeps
# the offsets after it.
design_2021 = ("DESIGN CONDITIONS,1,Climate Design Data 2021 ASHRAE Handbook,,Heating,1,-21.1,-17.7,"
               "-26.4,0.4,-20.2,-23.1,0.5,-16.5,12.8,-3.1,11.9,-2.9,5.1,270,-25.1,-14.3,"
               "Cooling,7,10.6,33.9,23.9,32.2,23.2,30.6,22.4,25.8,31.4,24.8,29.9,23.9,28.5,5.3,230,"
               "24.1,19.6,29.2,23.2,18.4,28.0,22.2,17.3,26.9,80.1,31.6,76.0,29.9,71.8,28.6,640,"
               "Extremes,11.3,9.6,8.8,29.1,-24.0,36.4,4.6,2.0,-27.4,37.8,-30.0,39.0,-32.6,40.1,"
               "-35.9,41.5")
write("handbook-2021.epw", [header[0], design_2021] + header[2:7] + [period("1/ 1", "1/ 2")],
      two_days)

# Four records an hour: each hour of the first day four times, minutes 15 to 60.
quarter = []
for line in records[:24]:
    f = fields(line)
    for minute in (15, 30, 45, 60):
        g = list(f)
        g[4] = minute
        quarter.append(record(g))
write("four-an-hour.epw", header[:7] + [period("1/ 1", "1/ 1", 4)], quarter)

# A leap day between Feb 28 and Mar 1.
feb28 = [l for l in records if fields(l)[1] == "2" and fields(l)[2] == "28"]
mar1 = [l for l in records if fields(l)[1] == "3" and fields(l)[2] == "1"]
feb29 = []
for line in feb28:
    f = fields(line)
    f[2] = 29
    feb29.append(record(f))
write("leap-day.epw", header[:7] + [period("2/28", "3/ 1")], feb28 + feb29 + mar1)

# A year cut short after 100 hours.
write("truncated.epw", header[:7] + [period("1/ 1", "12/31")], records[:100])

# Missing values: hour 3 no dry bulb, hour 4 no dew point (its RH is used),
# hour 5 no dew point and no RH, hour 6 no station pressure, hour 7 all four.
missing = []
for i, line in enumerate(two_days):
    f = fields(line)
    if i == 2:
        f[6] = "99.9"
    elif i == 3:
        f[7] = "99.9"
    elif i == 4:
        f[7], f[8] = "99.9", "999"
    elif i == 5:
        f[9] = "999999"
    elif i == 6:
        f[6], f[7], f[8], f[9] = "99.9", "99.9", "999", "999999"
    missing.append(record(f))
write("missing-values.epw", header[:7] + [period("1/ 1", "1/ 2")], missing)
