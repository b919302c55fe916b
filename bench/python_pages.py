"""Generated pages for the Python benchmark and the Python tests.

page() is a real-looking page: a head, paragraphs of Shift_JIS and English text, tags of many
kinds, and anchors of which most are http:// addresses QUILLON takes, and some are not (https,
relative, an attribute before href, single quotes). tricky() adds what the rules have to get
right: any letter case, brackets in a row, openings cut short, control and high bytes and NUL
inside addresses, line breaks, addresses about as long as a record may be, one left open at
the end.
"""

import random

WORDS = ("news home page link index about company product support search mail site free "
         "software download travel music book photo guide japan tokyo osaka event yahoo "
         "member update service sample data info archive forum shop").split()
JAPANESE = [word.encode("cp932") for word in
            "本日 東京 大阪 天気 情報 会社 新製品 案内 お知らせ 資料 地図 予定 掲示板 日記 "
            "写真 検索 ダウンロード 更新 料金 サービス 会員 特集 旅行 温泉 です でした".split()]
ENDINGS = ["/", ".html", ".htm", ".HTML", "", ".cgi?id=7", ".php", "/index.html#top"]


def address(rng):
    host = f"www.{rng.choice(WORDS)}.{rng.choice(['co.jp', 'com', 'ne.jp', 'org'])}"
    path = "/".join(rng.choice(WORDS) for _ in range(rng.randint(0, 3)))
    return f"http://{host}/{path}{rng.choice(ENDINGS)}".encode()


def text(rng, words):
    parts = [rng.choice(JAPANESE) if rng.random() < 0.6 else rng.choice(WORDS).encode()
             for _ in range(words)]
    return b" ".join(parts)


def anchor(rng):
    kind = rng.random()
    if kind < 0.8:
        return b'<a href="' + address(rng) + b'">' + text(rng, 2) + b"</a>"
    if kind < 0.85:
        return b'<a href="https://secure.example.com/">' + text(rng, 1) + b"</a>"
    if kind < 0.9:
        return b'<a href="/local/' + rng.choice(WORDS).encode() + b'.html">x</a>'
    if kind < 0.95:
        return b'<a class="nav" href="' + address(rng) + b'">x</a>'
    return b"<a href='" + address(rng) + b"'>x</a>"


def page(rng, anchors=12, paragraphs=6):
    """A page of about 2-3 KB with `anchors` anchors, most of them records."""
    body = []
    for i in range(paragraphs):
        body.append(b"<p>" + text(rng, rng.randint(8, 30)) + b"</p>\r\n")
        for _ in range(anchors // paragraphs + (i < anchors % paragraphs)):
            body.append(b"<li>" + anchor(rng) + b"</li>\r\n")
        if rng.random() < 0.5:
            body.append(b'<img src="/img/' + rng.choice(WORDS).encode() + b'.gif" alt="">\r\n')
    head = b"<html><head><title>" + text(rng, 3) + b"</title></head>\r\n<body bgcolor=\"#ffffff\">\r\n"
    return head + b"".join(body) + b"</body></html>\r\n"


def tricky_fragment(rng):
    kind = rng.randrange(9)
    if kind == 0:
        opening = "".join(c.upper() if rng.random() < 0.5 else c for c in '<a href="http://')
        return opening.encode() + address(rng)[7:] + b'">'
    if kind == 1:
        return b"<" * rng.randint(1, 3) + b'<a href="' + address(rng) + b'">'
    if kind == 2:
        return b'<a href="http://'[: rng.randint(1, 15)]
    if kind == 3:
        noise = bytes(rng.choice(b"\0\t\r\n\x7f\x82\xa0\xff\\ <>") for _ in range(rng.randint(1, 6)))
        where = rng.randint(8, 20)
        whole = address(rng)
        return b'<a href="' + whole[:where] + noise + whole[where:] + b'">'
    if kind == 4:
        length = rng.randint(480, 520)
        return b'<a href="http://long.example/' + b"x" * (length - 20) + rng.choice([b"/", b""]) + b'">'
    if kind == 5:
        return b'<a href="http://' + rng.choice(WORDS).encode() + b'.example">'
    return anchor(rng)


def tricky(rng, fragments=40):
    """A page of hard cases, sometimes ending inside an address."""
    parts = []
    for _ in range(fragments):
        parts.append(tricky_fragment(rng))
        parts.append(text(rng, rng.randint(0, 4)))
    if rng.random() < 0.3:
        parts.append(b'<a href="http://open.example/' + text(rng, 1))
    return b"".join(parts)


def pages(count, random_start=1, make=page):
    rng = random.Random(random_start)
    return [make(rng) for _ in range(count)]
