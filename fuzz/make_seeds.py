#!/usr/bin/env python3
"""Writes the small seed corpora of the text fuzz targets: one folder per target under SEEDS.
Usage: make_seeds.py SEEDS LANGUAGE_FOLDER"""
import os
import shutil
import sys

seeds, languages = sys.argv[1], sys.argv[2]


def write(target, name, text):
    folder = os.path.join(seeds, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(text.encode("utf-8") if isinstance(text, str) else text)


def member(name, value):
    return "<member><name>%s</name><value>%s</value></member>" % (name, value)


def answer(inner):
    return '<?xml version="1.0"?>\n<methodResponse><params><param><value>%s</value></param></params></methodResponse>\n' % inner


def nested(tag, depth, inner):
    return ("<%s>" % tag) * depth + inner + ("</%s>" % tag) * depth


write("xmlrpc_response", "session", answer("<struct>%s%s</struct>" % (member("code", "<string>abc</string>"), member("objectid", "<int>7</int>"))))
write("xmlrpc_response", "login", answer("<struct>%s</struct>" % member("member_id", "<string>1001</string>")))
write("xmlrpc_response", "albums", answer("<array><data><value><struct>%s%s</struct></value></data></array>"
                                          % (member("name", "<string>Sea &amp; Sun</string>"), member("id", "<i4>5</i4>"))))
write("xmlrpc_response", "create", answer("<struct>%s</struct>" % member("id", "<int>42</int>")))
write("xmlrpc_response", "fault", '<?xml version="1.0"?><methodResponse><fault><value><struct>%s%s</struct></value></fault></methodResponse>'
      % (member("faultCode", "<int>10</int>"), member("faultString", "<string>Wrong password</string>")))
write("xmlrpc_response", "html", "<html><body><p>Maintenance<br></p></body></html>")
write("xmlrpc_response", "deep", answer("<struct>%s</struct>" % member("code", nested("value", 50000, "x"))))
write("xmlrpc_response", "long-line", "<methodResponse>" + "p" * 100000 + "<broken</methodResponse>")

plist = ('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0">\n<dict>\n<key>com.vantrel2.uploader_pc</key>\n<dict>\n'
         "<key>ftp_host</key><string>127.0.0.1:2121</string>\n<key>picture_minsize</key><integer>20</integer>\n"
         "<key>size_scaled</key><integer>1024</integer>\n<key>rejected_errors</key><string>116,117</string>\n"
         "<key>versions</key><dict><key>Default</key><dict><key>current_version</key><string>3.2.5</string>"
         "<key>update_url</key><string>http://u/</string></dict><key>GB</key><dict><key>current_version</key>"
         "<string>3.2.6</string></dict></dict>\n<key>specific_url</key><dict><key>Default</key><dict><key>advert_url</key>"
         "<string>http://a/?e=[email]</string><key>autologin_url</key><string>http://s/[id_session]</string></dict></dict>\n"
         "</dict>\n</dict>\n</plist>\n")
write("remote_settings", "settings", plist)
write("remote_settings", "not-a-number", plist.replace("<integer>20</integer>", "<integer>12x</integer>"))
write("remote_settings", "deep", plist.replace("<string>116,117</string>", nested("dict", 50000, "")))

write("ftp_reply", "greeting", "220 ready\r\n331 password\r\n230 logged in\r\n")
write("ftp_reply", "multi-line", "230-welcome\r\n text\r\n230-more\r\n230 done\r\n")
write("ftp_reply", "pasv", "227 Entering Passive Mode (127,0,0,1,4,1)\r\n227 =127,0,0,1,200,7\r\n")
write("ftp_reply", "checksum", "200 d41d8cd98f00b204e9800998ecf8427e\r\n550 no such file\r\n")

write("ini_document", "settings", "[Settings]\r\nLanguage=GB.lng\r\nFreqIdx=0x2\r\n; comment\r\n[Window]\r\nLeft= \"  spaced \" \r\n")
write("ini_document", "no-section", "key=value\nother\n[Open\n=empty\n")

os.makedirs(os.path.join(seeds, "language_file"), exist_ok=True)
for name in sorted(os.listdir(languages)):
    if name.endswith(".lng"):
        shutil.copy(os.path.join(languages, name), os.path.join(seeds, "language_file", name))

write("transfer_list", "albums", "0\r\n[Album]\tTrip\r\n/photos/a.jpg\t/work/a.jpg\r\n[Album]\t\r\n"
      "/photos/it's \"here\".jpg\t/work/it''s \"\"here\"\".jpg\r\n")
write("transfer_list", "quoted-tab", "0\r\n[Album]\t'a\tb'\r\n\"x\ty\"\t/w/z.jpg\r\nshort\r\n")

# Profile chunks: two chunks given out of order, and a profile header without a body.
icc = b"ICC_PROFILE\0"
write("icc_profile", "two-chunks", b"\x00\x14" + icc + b"\x02\x02second" + b"\x00\x13" + icc + b"\x01\x02first")
write("icc_profile", "header-only", b"\x00\x96" + icc + b"\x01\x01" + b"\x00\x00\x00\x80" + b"lcms" + b"\x02\x10\x00\x00mntrRGB XYZ " + bytes(112))
