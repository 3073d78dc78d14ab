#!/usr/bin/env python3
"""Memory images of the real programs: what is left once a document is done with.

Runs the desktop program (through tessaline-memory-driver: the real application and main
window, steered step by step) and tessaline-cli on a sealed data file of 13 cards, takes a
memory image of each at the moments below (every readable mapping of /proc/PID/maps, read
through /proc/PID/mem) and looks in it for the file's key, its password and the card
texts, as UTF-8 and as UTF-16LE:

  * after File > Close (a card editor was opened and cancelled before),
  * after Ctrl+L on a saved document,
  * after Print Preview and then Ctrl+L,
  * tessaline-cli ls, stopped at its exit: its output pipe is full, so it waits in its
    last write after all its work is done. Its output (names, categories, user IDs) is
    legitimately in its output buffer; the key, the password, the card passwords,
    addresses and notes must be gone.

Before each of these, an image with the document open must show the card texts: a check
that the search itself finds what is there. Any secret found afterwards fails the test.

    memory_image_test.py BIN_DIR

Needs root (reading another process's memory); exits 77 (skipped) otherwise. With
MEMORY_TEST_WHERE=1 each hit is shown with its address and the bytes before it
(MEMORY_TEST_BEFORE of them, default 96), to tell whose memory holds it.
"""

import fcntl
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
PASSWORD = "Qm7-vault-Pass!x42"

# Thirteen cards: category code, name, address, user ID, password, note. Every text is
# distinct and long enough not to turn up by chance.
CARDS = [
    (0, "Zephyr mailbox", "https://zephyr-mail.example", "zephyr.user", "Zp-pass-41aa", "zephyr note alpha"),
    (0, "Quokka portal", "https://quokka-portal.example", "quokka.login", "Qk-pass-52bb", "quokka note bravo"),
    (1, "Marmot forms", "https://marmot-forms.example", "marmot.form", "Mm-pass-63cc", "marmot note charlie"),
    (2, "Narwhal ftp site", "ftp://narwhal-ftp.example", "narwhal.ftp", "Nw-pass-74dd", "narwhal note delta"),
    (3, "Ocelot news feed", "news://ocelot-news.example", "ocelot.news", "Oc-pass-85ee", "ocelot note echo"),
    (4, "Pangolin shell", "ssh://pangolin-host.example", "pangolin.root", "Pg-pass-96ff", "pangolin note foxtrot"),
    (5, "Quetzal inbox", "imap://quetzal-mail.example", "quetzal.mail", "Qz-pass-07gg", "quetzal note golf"),
    (6, "Raccoon savings", "https://raccoon-bank.example", "raccoon.acct", "Rc-pass-18hh", "raccoon note hotel"),
    (7, "Salamander bank", "https://salamander-bank.example", "salamander.id", "Sl-pass-29ii", "salamander note india"),
    (8, "Tapir visa card", "https://tapir-card.example", "tapir.holder", "Tp-pass-30jj", "tapir note juliet"),
    (9, "Uakari atm card", "https://uakari-atm.example", "uakari.atm", "Ua-pass-41kk", "uakari note kilo"),
    (10, "Vicuna software", "https://vicuna-soft.example", "vicuna.licence", "Vc-pass-52ll", "vicuna note lima"),
    (14, "Wombat locker", "https://wombat-locker.example", "wombat.locker", "Wb-pass-63mm", "wombat note mike"),
]


def say(text):
    print(text, flush=True)


class Needles:
    """The secrets to look for, each under a name and a kind."""

    def __init__(self, key):
        self.items = []  # (kind, name, bytes)
        self.add("key", "key", key)
        self.add_text("password", "file password", PASSWORD)
        for card in CARDS:
            for kind, text in zip(("name", "address", "user", "card password", "note"), card[1:]):
                self.add_text(kind, text, text)

    def add(self, kind, name, data):
        self.items.append((kind, name, data))

    def add_text(self, kind, name, text):
        self.add(kind, name + " (UTF-8)", text.encode("utf-8"))
        self.add(kind, name + " (UTF-16)", text.encode("utf-16-le"))


def locked_ranges(pid):
    """Address ranges the kernel keeps locked in memory (libsodium's guarded allocations)."""
    ranges = []
    start = None
    with open(f"/proc/{pid}/smaps") as smaps:
        for line in smaps:
            m = re.match(r"^([0-9a-f]+)-([0-9a-f]+) ", line)
            if m:
                start = (int(m.group(1), 16), int(m.group(2), 16))
            elif line.startswith("VmFlags:") and " lo" in line and start:
                ranges.append(start)
    return ranges


def memory_image(pid):
    """[(region name, locked, bytes)] of every readable mapping."""
    locked = locked_ranges(pid)
    regions = []
    with open(f"/proc/{pid}/maps") as maps, open(f"/proc/{pid}/mem", "rb", 0) as mem:
        for line in maps:
            fields = line.split(None, 5)
            start, end = (int(x, 16) for x in fields[0].split("-"))
            name = fields[5].strip() if len(fields) > 5 else "[anonymous]"
            if fields[1][0] != "r" or name in ("[vvar]", "[vsyscall]", "[vvar_vclock]"):
                continue
            chunks = []
            offset = start
            # Read in pieces: a part that cannot be read (a device mapping) is skipped.
            while offset < end:
                size = min(end - offset, 1 << 24)
                try:
                    chunks.append(os.pread(mem.fileno(), size, offset))
                except OSError:
                    chunks.append(b"\0" * size)
                offset += size
            is_locked = any(a <= start and end <= b for a, b in locked)
            regions.append((f"{name} {start:x}-{end:x}" if os.environ.get("MEMORY_TEST_WHERE") else name,
                            is_locked, b"".join(chunks)))
    return regions


def search(pid, needles, kinds):
    """{needle name: [region names of each hit]} for the needles of the given kinds."""
    regions = memory_image(pid)
    hits = {}
    for kind, name, data in needles.items:
        if kind not in kinds:
            continue
        found = []
        for region, is_locked, image in regions:
            at = image.find(data)
            while at >= 0:
                found.append(region + (" (locked)" if is_locked else ""))
                if os.environ.get("MEMORY_TEST_WHERE"):
                    say(f"  {name} at +{at:x} in {region}: {image[max(0, at - int(os.environ.get('MEMORY_TEST_BEFORE', '96'))):at + 64]!r}")
                at = image.find(data, at + 1)
        if found:
            hits[name] = found
    return hits


def summary(hits, needles):
    by_kind = {}
    for kind, name, _ in needles.items:
        if name in hits:
            by_kind[kind] = by_kind.get(kind, 0) + len(hits[name])
    return ", ".join(f"{kind}: {count}" for kind, count in sorted(by_kind.items())) or "nothing"


ALL = {"key", "password", "name", "address", "user", "card password", "note"}


class Driver:
    """The desktop program, one step at a time."""

    def __init__(self, bin_dir, env):
        self.proc = subprocess.Popen(
            [os.path.join(bin_dir, "tessaline-memory-driver")], stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, env=env, text=True)
        self.expect("ready")

    def expect(self, what, timeout=120):
        ready, _, _ = select.select([self.proc.stdout], [], [], timeout)
        line = self.proc.stdout.readline().strip() if ready else "(no answer)"
        if line != what:
            self.proc.kill()
            raise SystemExit(f"FAIL: the desktop program answered {line!r}, not {what!r}")

    def step(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()
        self.expect("done " + command.split(" ")[0])

    def end(self):
        self.proc.stdin.write("quit\n")
        self.proc.stdin.flush()
        self.proc.wait(timeout=60)


def gui_case(bin_dir, env, data, needles, title, steps):
    """Opens the file, lists every card, checks they can be found, runs steps, looks again."""
    driver = Driver(bin_dir, env)
    try:
        driver.step(f"open {data} {PASSWORD}")
        driver.step("show-all")
        before = search(driver.proc.pid, needles, ALL - {"key", "password"})
        names_seen = sum(1 for card in CARDS if card[1] + " (UTF-8)" in before)
        if names_seen != len(CARDS):
            raise SystemExit(f"FAIL: {title}: with the document open only {names_seen} of "
                             f"{len(CARDS)} card names were found: the search does not work")
        for step in steps:
            driver.step(step)
        after = search(driver.proc.pid, needles, ALL)
    finally:
        driver.end()
    say(f"{title}: open: {summary(before, needles)}; after: {summary(after, needles)}")
    return title, after


def cli_case(bin_dir, env, data, needles):
    """tessaline-cli ls, held at its exit by an output pipe that is already full."""
    read_end, write_end = os.pipe()
    fcntl.fcntl(write_end, 1031, 4096)  # F_SETPIPE_SZ: the smallest pipe
    flags = fcntl.fcntl(write_end, fcntl.F_GETFL)
    fcntl.fcntl(write_end, fcntl.F_SETFL, flags | os.O_NONBLOCK)
    filler = 0
    try:
        while True:
            filler += os.write(write_end, b"\0" * 512)
    except BlockingIOError:
        pass
    fcntl.fcntl(write_end, fcntl.F_SETFL, flags)
    proc = subprocess.Popen([os.path.join(bin_dir, "tessaline-cli"), "ls", data],
                            stdin=subprocess.PIPE, stdout=write_end, stderr=subprocess.PIPE,
                            env=env)
    os.close(write_end)
    proc.stdin.write((PASSWORD + "\n").encode())
    proc.stdin.close()
    # Waits until it is stuck in a write (system call 1) to the full pipe.
    deadline = time.monotonic() + 120
    while True:
        try:
            with open(f"/proc/{proc.pid}/syscall") as f:
                call = f.read().split()
        except OSError:
            call = []
        if call[:2] == ["1", "0x1"]:
            break
        if proc.poll() is not None or time.monotonic() > deadline:
            raise SystemExit("FAIL: tessaline-cli ls did not wait in its output: "
                             + proc.stderr.read().decode(errors="replace"))
        time.sleep(0.05)
    hits = search(proc.pid, needles, {"key", "password", "address", "card password", "note"})
    output = b""
    while True:
        chunk = os.read(read_end, 65536)
        if not chunk:
            break
        output += chunk
    os.close(read_end)
    status = proc.wait(timeout=60)
    listed = output[filler:].decode(errors="replace")
    if status != 0 or any(card[1] not in listed for card in CARDS):
        raise SystemExit(f"FAIL: tessaline-cli ls ended with {status} and listed:\n{listed}")
    say(f"tessaline-cli ls at its exit: {summary(hits, needles)}")
    return "tessaline-cli ls at its exit", hits


def main():
    if len(sys.argv) != 2:
        print("usage: memory_image_test.py BIN_DIR", file=sys.stderr)
        return 2
    if os.geteuid() != 0:
        say("SKIPPED: reading another program's memory (/proc/PID/mem) needs root")
        return SKIPPED
    bin_dir = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="tessaline-memory-")
    try:
        env = dict(os.environ)
        env.update(HOME=f"{work}/home", XDG_CONFIG_HOME=f"{work}/config",
                   XDG_CACHE_HOME=f"{work}/cache", JPILOT_HOME=work,
                   TESSALINE_DDE_FOLDER=f"{work}/dde")
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        env.pop("XDG_RUNTIME_DIR", None)
        os.makedirs(env["HOME"])

        cards = os.path.join(work, "cards.txt")
        with open(cards, "w") as f:
            for card in CARDS:
                f.write("\t".join(str(x) for x in card) + "\n")
        data = os.path.join(work, "vault.tse")
        made = subprocess.run([os.path.join(bin_dir, "tessaline-cli"), "import", "--kdf-ops",
                               "1", "--kdf-memory", "1", cards, data],
                              input=PASSWORD + "\n", text=True, capture_output=True, env=env)
        if made.returncode != 0:
            raise SystemExit("FAIL: the test file could not be made: " + made.stderr)
        os.remove(cards)
        key = subprocess.run([os.path.join(bin_dir, "tessaline-seal-key"), data],
                             input=PASSWORD + "\n", text=True, capture_output=True, check=True)
        needles = Needles(bytes.fromhex(key.stdout.strip()))

        results = [
            gui_case(bin_dir, env, data, needles, "File > Close",
                     ["edit-cancel", "close"]),
            gui_case(bin_dir, env, data, needles, "Ctrl+L", ["lock"]),
            gui_case(bin_dir, env, data, needles, "Print Preview, then Ctrl+L",
                     ["preview", "lock"]),
            cli_case(bin_dir, env, data, needles),
        ]
    finally:
        shutil.rmtree(work, ignore_errors=True)

    failed = False
    for title, hits in results:
        for name, regions in sorted(hits.items()):
            failed = True
            where = ", ".join(sorted(set(regions)))
            say(f"FOUND {title}: {name}: {len(regions)} time(s) in {where}")
    if failed:
        say("FAIL: secrets are left in memory")
        return 1
    say("PASS: no key, password or card text left in memory")
    return 0


if __name__ == "__main__":
    sys.exit(main())
