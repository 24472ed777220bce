# J2 with Python's csv module: column 7 = "NG", columns 1 to 7 as quoted CSV.
# Latin-1 keeps every byte; the separators and quotes of code page 932 text
# are single bytes that never occur inside a double-byte character.
import csv
import sys

out = open(sys.stdout.fileno(), "w", encoding="latin-1", newline="", closefd=False)
with open(sys.argv[1], encoding="latin-1", newline="") as f:
    for row in csv.reader(f):
        if len(row) > 6 and row[6] == "NG":
            out.write('"' + '","'.join(row[:7]) + '"\r\n')
out.flush()
