# J3 as a plain Python loop: 200-byte records, bytes 1-7 >= "5000000",
# bytes 1-7 and 28-57 joined.
import sys

key = b"5000000"
out = sys.stdout.buffer
with open(sys.argv[1], "rb") as f:
    while True:
        r = f.read(200)
        if not r:
            break
        if r[0:7] >= key:
            out.write(r[0:7] + r[27:57] + b"\r\n")
