#!/usr/bin/python3
"""Makes the demo's sample photos: eight camera-like 12 MP JPEGs of a few MB each, with the EXIF a
camera writes (maker, model, date taken, exposure, aperture, focal length, ISO, orientation).
Two are stored sideways with an orientation tag that turns them upright, as a camera held
upright writes them. Photos already there are kept, so a second demo starts at once.

    /usr/bin/python3 tools/demo-photos/make_demo_photos.py FOLDER
"""

import os
import struct
import subprocess
import sys

WIDTH, HEIGHT = 4000, 3000

# name, date taken, (exposure numerator, denominator), f-number x10, focal length mm, ISO,
# orientation tag, sky colours, ground colours
PHOTOS = [
    ("IMG_0001.JPG", "2024:06:03 14:33:00", (1, 250), 80, 27, 100, 1, ("#4f8fd8", "#cfe3f5"), ("#3f7a2f", "#9fbf5f")),
    ("IMG_0002.JPG", "2024:06:03 14:41:12", (1, 500), 56, 18, 100, 1, ("#2f6fc0", "#f0e0c0"), ("#c8a878", "#f2dcae")),
    ("IMG_0003.JPG", "2024:06:04 09:05:47", (1, 125), 40, 50, 200, 6, ("#6aa0e0", "#e8f0f8"), ("#2f5f2a", "#7f9f4f")),
    ("IMG_0004.JPG", "2024:06:04 19:58:30", (1, 60), 28, 35, 400, 1, ("#f08040", "#ffd080"), ("#403040", "#806070")),
    ("IMG_0005.JPG", "2024:06:05 11:20:03", (1, 1000), 110, 24, 100, 1, ("#1f60b0", "#ffffff"), ("#e8e8f0", "#a0a8c0")),
    ("IMG_0006.JPG", "2024:06:05 16:02:55", (1, 320), 80, 85, 100, 8, ("#5890d0", "#d8e8f8"), ("#6f4f2f", "#b08f5f")),
    ("IMG_0007.JPG", "2024:06:06 07:15:40", (1, 200), 63, 70, 160, 1, ("#a0b8d8", "#f8e0d0"), ("#305838", "#608860")),
    ("IMG_0008.JPG", "2024:06:06 21:44:18", (1, 30), 20, 28, 800, 1, ("#182848", "#405880"), ("#202020", "#505050")),
]


def ifd(entries, offset, next_ifd=0):
    """A little-endian IFD placed at `offset`: (tag, type, count, value bytes) entries, values that
    do not fit in four bytes placed after it. Returns its bytes."""
    sizes = {2: 1, 3: 2, 4: 4, 5: 8}
    head = struct.pack("<H", len(entries))
    data = b""
    data_offset = offset + 2 + 12 * len(entries) + 4
    for tag, kind, count, value in sorted(entries):
        if sizes[kind] * count <= 4:
            head += struct.pack("<HHI", tag, kind, count) + value.ljust(4, b"\0")
        else:
            head += struct.pack("<HHII", tag, kind, count, data_offset + len(data))
            data += value + (b"\0" if len(value) % 2 else b"")
    return head + struct.pack("<I", next_ifd) + data


def ascii(tag, text):
    value = text.encode() + b"\0"
    return (tag, 2, len(value), value)


def exif_block(date, exposure, fnumber10, focal, iso, orientation, width, height):
    """The APP1 segment of a camera: IFD0 with the maker, model, orientation and date, and the
    Exif IFD with the shooting details and the pixel dimensions."""
    ifd0 = [
        ascii(0x010F, "Vantrel Demo"),
        ascii(0x0110, "Sample Camera 12"),
        (0x0112, 3, 1, struct.pack("<H", orientation)),
        (0x011A, 5, 1, struct.pack("<II", 300, 1)),
        (0x011B, 5, 1, struct.pack("<II", 300, 1)),
        (0x0128, 3, 1, struct.pack("<H", 2)),
        ascii(0x0132, date),
        (0x8769, 4, 1, struct.pack("<I", 0)),  # the Exif IFD's place, filled in below
    ]
    exif = [
        (0x829A, 5, 1, struct.pack("<II", *exposure)),
        (0x829D, 5, 1, struct.pack("<II", fnumber10, 10)),
        (0x8827, 3, 1, struct.pack("<H", iso)),
        ascii(0x9003, date),
        ascii(0x9004, date),
        (0x920A, 5, 1, struct.pack("<II", focal, 1)),
        (0xA002, 4, 1, struct.pack("<I", width)),
        (0xA003, 4, 1, struct.pack("<I", height)),
    ]
    first = ifd(ifd0, 8)
    exif_offset = 8 + len(first)
    ifd0[-1] = (0x8769, 4, 1, struct.pack("<I", exif_offset))
    tiff = b"II*\0" + struct.pack("<I", 8) + ifd(ifd0, 8) + ifd(exif, exif_offset)
    body = b"Exif\0\0" + tiff
    return b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body


def render(path, sky, ground, seed, orientation):
    """A landscape-like picture: a sky gradient over a textured ground, a sun, sensor noise;
    quality 92 with 2x2 chroma subsampling, as a camera's JPEG. A photo taken upright (tags 6
    and 8) is stored as the camera's sensor saw it: the tag turns it upright again."""
    sideways = orientation in (6, 8)
    w, h = (HEIGHT, WIDTH) if sideways else (WIDTH, HEIGHT)
    turn = {6: ["-rotate", "-90"], 8: ["-rotate", "90"]}.get(orientation, [])
    horizon = h * 3 // 5
    subprocess.run(
        ["convert",
         "(", "-size", f"{w}x{horizon}", f"gradient:{sky[0]}-{sky[1]}", ")",
         "(", "-size", f"{w // 8}x{(h - horizon) // 8}", "-seed", str(seed), f"plasma:{ground[0]}-{ground[1]}",
         "-blur", "0x1", "-modulate", "100,45", "-resize", f"{w}x{h - horizon}!", ")",
         "-append",
         "-fill", "#fff6d0", "-draw", f"circle {w * 3 // 4},{h // 5} {w * 3 // 4 + h // 14},{h // 5}",
         "-attenuate", "0.5", "+noise", "Gaussian", *turn,
         "-strip", "-quality", "92", "-sampling-factor", "2x2", path],
        check=True)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for seed, (name, date, exposure, fnumber10, focal, iso, orientation, sky, ground) in enumerate(PHOTOS, 1):
        path = os.path.join(folder, name)
        if os.path.exists(path):
            continue
        work = path + ".part.jpg"
        render(work, sky, ground, seed, orientation)
        with open(work, "rb") as f:
            jpeg = f.read()
        app1 = exif_block(date, exposure, fnumber10, focal, iso, orientation, WIDTH, HEIGHT)
        with open(work, "wb") as f:
            f.write(jpeg[:2] + app1 + jpeg[2:])  # right after the start-of-image marker
        os.replace(work, path)


if __name__ == "__main__":
    main()
