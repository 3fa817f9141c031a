#!/usr/bin/env python3
"""Measures, function by function, how closely our C++ resembles Qt's item-view sources.

    scripts/compare_with_qt.py [FILE ...] [--qt-source DIR] [--against QTFILE ...]
                               [--runs N] [--all] [--max-ratio R] [--max-run N]

FILE defaults to the flat list view (gui/controls/ or app/controls/flat_list_view.cpp).
Each function of FILE is compared with every function of Qt's
src/widgets/itemviews/qtreeview.cpp (plus any --against file, named relative to that
folder or as a path). Both sides are reduced to tokens first: comments and preprocessor
lines go, every identifier becomes ID, every number NUM, every string STR and every
character CHR, while keywords, operators and punctuation stay themselves. So renaming
does not hide a copy, and shared names do not make two functions alike. For each of our
functions the report gives the most alike Qt function, their similarity (difflib's ratio,
0 to 1), the share of our tokens that match that function (high when ours is a shortened
copy of a longer one) and the longest run of identical tokens with our lines it covers,
wherever in Qt it is. Functions under --min-tokens (80) are shown but not held to the
ratio bar: with names gone, short functions look alike by chance (unrelated code of ours
of 40 to 80 tokens scores 0.64 on average against qtreeview.cpp). The bar is
"no function above --max-ratio (0.6), no run of --max-run (25) tokens or more"; the exit
status is 0 when it is met and 1 when not. --runs N lists every run of N tokens or more
with our lines, for a person to judge whether it is more than a row of declarations.
--all compares every .cpp of the project with all of itemviews/*.cpp and prints only the
functions over the bar. Only names, numbers and our line numbers are printed, never
Qt's text. Without --qt-source, Debian's qt6-base source is fetched once into
${XDG_CACHE_HOME:-~/.cache}/velmora/qt6-base-src (only its itemviews folder is unpacked).
"""
import argparse
import bisect
import collections
import difflib
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
QT_VERSION = "6.4.2"
ITEMVIEWS = os.path.join("src", "widgets", "itemviews")

KEYWORDS = set("""
    alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t
    char16_t char32_t class compl concept const consteval constexpr constinit const_cast
    continue co_await co_return co_yield decltype default delete do double dynamic_cast
    else enum explicit export extern false final float for friend goto if inline int long
    mutable namespace new noexcept not not_eq nullptr operator or or_eq override private
    protected public register reinterpret_cast requires return short signed sizeof static
    static_assert static_cast struct switch template this thread_local throw true try
    typedef typeid typename union unsigned using virtual void volatile wchar_t while xor
    xor_eq""".split())

# One pass over the text. The preprocessor alternative comes first and newlines are
# their own tokens, so a '#' is only taken for a directive at the start of a line.
TOKEN = re.compile(r"""
    (?P<pp> ^[ \t]*\#(?:\\\n|[^\n])* )
  | (?P<comment> //[^\n]* | /\*.*?\*/ )
  | (?P<str> (?:u8|[uUL])?R"(?P<delim>[^()\\\s]{0,16})\(.*?\)(?P=delim)"
           | (?:u8|[uUL])?"(?:\\.|[^"\\\n])*" )
  | (?P<chr> (?:u8|[uUL])?'(?:\\.|[^'\\\n])*' )
  | (?P<num> \.?\d(?:[eEpP][+-]|'(?=\w)|[\w.])* )
  | (?P<id> [A-Za-z_]\w* )
  | (?P<space> \n | [ \t\r\f\v]+ | \\\n )
  | (?P<op> \.\.\.|<=>|<<=|>>=|->\*|::|->|\.\*|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^]=|\#\#|. )
""", re.M | re.S | re.X)

PLACEHOLDER = {"str": "STR", "chr": "CHR", "num": "NUM"}


def tokenize(text):
    """Returns (placeholder token, original text, line) triples."""
    tokens, line = [], 1
    for m in TOKEN.finditer(text):
        kind, word = m.lastgroup, m.group()
        if kind == "id":
            tokens.append((word if word in KEYWORDS else "ID", word, line))
        elif kind in PLACEHOLDER:
            tokens.append((PLACEHOLDER[kind], word, line))
        elif kind == "op":
            tokens.append((word, word, line))
        line += word.count("\n")
    return tokens


def closing_brace(tokens, i):
    """Index of the brace closing the one at i (the last token when unbalanced)."""
    depth = 0
    for j in range(i, len(tokens)):
        if tokens[j][1] == "{":
            depth += 1
        elif tokens[j][1] == "}":
            depth -= 1
            if depth == 0:
                return j
    return len(tokens) - 1


def function_name(head):
    """(qualified name, index of its first token) of the function whose header is head,
    or None when head opens no function (a class, an enum, a braced initialiser)."""
    words = [t[1] for t in head]
    # The parameter list is the last parenthesis at the outer level, leaving out those of
    # noexcept(...) and the like and stopping at a constructor's initialiser list.
    params, depth, prev = None, 0, None
    for k, w in enumerate(words):
        if w == "(":
            if depth == 0 and prev not in ("noexcept", "decltype", "requires", "alignas", "throw"):
                params = k
            depth += 1
        elif w == ")":
            depth -= 1
        elif w == ":" and depth == 0 and params is not None:
            break  # a constructor's initialiser list
        prev = w
    if not params:
        return None
    if "operator" in words[:params]:
        start = max(k for k in range(params) if words[k] == "operator")
    elif head[params - 1][0] == "ID":
        start = params - 1
    else:
        return None  # a lambda, a cast
    while start > 0:  # back over ~ and Class:: qualifiers
        if words[start - 1] == "~":
            start -= 1
        elif words[start - 1] == "::" and start > 1 and head[start - 2][0] == "ID":
            start -= 2
        else:
            break
    before = words[:start]
    if before[:2] == ["template", "<"]:  # template <class T> names no class
        depth = 0
        for k, w in enumerate(before):
            depth += w.count("<") - w.count(">") if w in ("<", ">", ">>") else 0
            if k > 1 and depth <= 0:
                before = before[k + 1:]
                break
    if "=" in before or {"class", "struct", "union", "enum"} & set(before):
        return None
    name = ""
    for w in words[start:params]:
        name += (" " if name[-1:].isalnum() and w[0].isalnum() else "") + w
    return name, start


def split_functions(tokens):
    """Top-level function definitions as (name, line, tokens). Namespaces and extern "C"
    blocks are looked into; classes, enums and initialisers are stepped over."""
    functions, start, i = [], 0, 0
    while i < len(tokens):
        word = tokens[i][1]
        if word in (";", "}"):
            start = i + 1
        elif word == "{":
            head = tokens[start:i]
            words = [t[1] for t in head]
            if "namespace" in words or (words[:1] == ["extern"] and head[1:2] and head[1][0] == "STR"):
                start = i + 1
                i += 1
                continue
            # member{value} in a constructor's initialiser list is not the body yet
            in_initialisers = "(" in words and ":" in words[words.index("("):]
            end = closing_brace(tokens, i)
            if in_initialisers and head and head[-1][0] == "ID":
                i = end + 1
                continue
            named = function_name(head)
            if named:
                functions.append((named[0], head[named[1]][2], tokens[start:end + 1]))
            start = i = end + 1
            continue
        i += 1
    return functions


def read_functions(path, label):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [(label, name, line, toks) for name, line, toks in split_functions(tokenize(f.read()))]


class Alphabet:
    """Maps each placeholder token to one character, so token lists become strings:
    slicing, hashing and comparing them then happens in C."""

    def __init__(self):
        self.codes = {}

    def encode(self, tokens):
        return "".join(self.codes.setdefault(t[0], chr(0x100 + len(self.codes))) for t in tokens)


class QtCorpus:
    """Qt's functions, with an index of every SEED-token gram to find long runs without
    comparing each of our functions with every Qt function token by token."""

    SEED = 12

    def __init__(self, functions, alphabet):
        self.strings = [alphabet.encode(f[3]) for f in functions]
        self.counts = [collections.Counter(s) for s in self.strings]
        # All functions in one string, parted by a character our side never has.
        self.offsets, parts, offset = [], [], 0
        for s in self.strings:
            self.offsets.append(offset)
            parts.append(s)
            offset += len(s) + 1
        self.text = "\x01".join(parts) + "\x01"
        self.grams = collections.defaultdict(list)
        for p in range(len(self.text) - self.SEED + 1):
            gram = self.text[p:p + self.SEED]
            if "\x01" not in gram:
                self.grams[gram].append(p)
        self.matchers = {}

    def owner(self, p):
        return bisect.bisect_right(self.offsets, p) - 1

    def runs(self, ours):
        """For each position of our string, the longest run starting there that Qt has
        somewhere, and where (a Qt function's index); (0, None) below SEED tokens."""
        text, seed = self.text, self.SEED
        best, previous = [(0, None)] * len(ours), {}
        for i in range(len(ours) - seed + 1):
            current = {}
            for p in self.grams.get(ours[i:i + seed], ()):
                length = previous.get(p - 1, 0) - 1
                if length < seed:  # not the tail of the run found one position earlier
                    length = seed
                    while i + length < len(ours) and ours[i + length] == text[p + length]:
                        length += 1
                current[p] = length
                if length > best[i][0]:
                    best[i] = (length, p)
            previous = current
        return [(length, None if p is None else self.owner(p)) for length, p in best]

    def matcher(self, k):
        # difflib keeps its index of the second sequence, so each Qt function is indexed once.
        if k not in self.matchers:
            self.matchers[k] = difflib.SequenceMatcher(None, autojunk=False)
            self.matchers[k].set_seq2(self.strings[k])
        return self.matchers[k]

    def most_alike(self, ours, candidates, floor):
        """(ratio, Qt function index) of the Qt function most alike ours. The token-count
        bound (difflib's quick_ratio, never below the true ratio) orders the candidates
        and ends the search; at most `candidates` true ratios are computed per function."""
        mine = collections.Counter(ours)
        bounds = []
        for k, s in enumerate(self.strings):
            if len(s) > 3 * len(ours) or len(ours) > 3 * len(s):
                continue  # sizes too different for the ratio to matter
            common = sum((mine & self.counts[k]).values())
            bounds.append((2.0 * common / (len(ours) + len(s)), k))
        bounds.sort(reverse=True)
        best = (0.0, None)
        for n, (bound, k) in enumerate(bounds):
            if bound <= max(best[0], floor) or (candidates and n >= candidates):
                break
            m = self.matcher(k)
            m.set_seq1(ours)
            ratio = m.ratio()
            if ratio > best[0]:
                best = (ratio, k)
        return best


# ---------------------------------------------------------------------------------------
# Qt's source


def fetch_qt_source(cache):
    """Debian's qt6-base source, fetched through a deb-src entry in an apt state folder of
    our own (the system's package lists stay as they are); only itemviews is unpacked."""
    if os.path.isdir(os.path.join(cache, ITEMVIEWS)):
        return cache
    # A full copy unpacked by scripts/windows_qt.sh does as well.
    built = os.path.join(os.path.dirname(cache), f"qt-{QT_VERSION}-mingw-build",
                         f"qtbase-everywhere-src-{QT_VERSION}")
    if os.path.isdir(os.path.join(built, ITEMVIEWS)):
        return built
    work = cache + ".download"
    os.makedirs(os.path.join(work, "apt", "lists", "partial"), exist_ok=True)
    mirror = subprocess.run([os.path.join(ROOT, "scripts", "debian_mirror.sh")], check=True,
                            capture_output=True, text=True).stdout.split()
    with open(os.path.join(work, "apt", "src.sources"), "w") as f:
        f.write(f"Types: deb-src\nURIs: {mirror[0] if mirror else 'http://deb.debian.org/debian'}\n"
                "Suites: bookworm\nComponents: main\n"
                "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n")
    # As root apt hands downloads to its own user, who may not write in our folder.
    apt = ["apt-get", "-o", "APT::Sandbox::User=root",
           "-o", f"Dir::Etc::sourcelist={work}/apt/src.sources",
           "-o", "Dir::Etc::sourceparts=/nonexistent", "-o", f"Dir::State::Lists={work}/apt/lists"]
    print(f"fetching Debian's qt6-base source into {work}", file=sys.stderr)
    subprocess.run(apt + ["-qq", "update"], check=True)
    subprocess.run(apt + ["-qq", "source", "--download-only", "qt6-base"], check=True, cwd=work)
    archives = glob.glob(os.path.join(work, f"qt6-base_{QT_VERSION}*.orig.tar.xz"))
    if not archives:
        fail(f"no qt6-base {QT_VERSION} source archive in {work}")
    # Unpacked beside the cache and moved there whole, so an interrupted run leaves no
    # half copy that the next run would trust.
    staging = tempfile.mkdtemp(dir=os.path.dirname(cache))
    subprocess.run(["tar", "-xf", archives[0], "-C", staging, "--strip-components=1",
                    "--wildcards", f"*/{ITEMVIEWS}/*"], check=True)
    os.rename(staging, cache)
    shutil.rmtree(work)
    return cache


# ---------------------------------------------------------------------------------------


def default_files():
    for folder in ("gui", "app"):
        path = os.path.join(ROOT, folder, "controls", "flat_list_view.cpp")
        if os.path.isfile(path):
            return [path]
    fail("no flat_list_view.cpp under gui/controls or app/controls; name the file")


def project_files():
    listed = subprocess.run([os.path.join(ROOT, "scripts", "sources.sh"), "cpp"], check=True,
                            capture_output=True, text=True, cwd=ROOT).stdout.split()
    return [os.path.join(ROOT, p) for p in listed if os.path.isfile(os.path.join(ROOT, p))]


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(2)  # 1 means "over the bar"


def measure(corpus, toks, alphabet, args):
    """(ratio, share, Qt index, run length, run's first token, Qt index of the run, runs)"""
    ours = alphabet.encode(toks)
    # --all prints only what is over the bar, so it looks for no ratio that cannot be.
    floor = (1.0 if len(toks) < args.min_tokens else args.max_ratio) if args.all else 0.0
    ratio, k = corpus.most_alike(ours, args.candidates, floor)
    # The ratio counts both sides' tokens, so a short copy of a long function scores
    # low; the share of our tokens that match that function does not.
    share = ratio * (len(ours) + len(corpus.strings[k])) / 2 / len(ours) if k is not None else 0.0
    runs = corpus.runs(ours)
    if k is not None:  # runs shorter than the index's seed: from the most alike function
        m = corpus.matcher(k)
        m.set_seq1(ours)
        block = m.find_longest_match(0, len(ours), 0, len(corpus.strings[k]))
        if block.size > max(r[0] for r in runs):
            runs[block.a] = (block.size, k)
    at = max(range(len(runs)), key=lambda i: runs[i][0])
    return ratio, share, k, runs[at][0], at, runs[at][1], runs


def main():
    started = time.time()
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("files", nargs="*", help="our .cpp files (default: the flat list view)")
    parser.add_argument("--qt-source", metavar="DIR", help="folder of the unpacked qt6-base source")
    parser.add_argument("--against", nargs="+", default=[], metavar="QTFILE",
                        help="more Qt files, e.g. qabstractitemview.cpp qheaderview.cpp")
    parser.add_argument("--all", action="store_true",
                        help="every .cpp of ours against all of itemviews/*.cpp; only functions over the bar")
    parser.add_argument("--runs", type=int, metavar="N", help="list every identical run of N tokens or more")
    parser.add_argument("--max-ratio", type=float, default=0.6)
    parser.add_argument("--max-run", type=int, default=25)
    parser.add_argument("--min-tokens", type=int, default=80,
                        help="smaller functions are not held to the ratio bar (default 80)")
    parser.add_argument("--candidates", type=int, default=40,
                        help="most true ratios computed per function (default 40; 0: no limit)")
    args = parser.parse_args()

    cache = os.path.join(os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"),
                         "velmora", "qt6-base-src")
    itemviews = os.path.join(args.qt_source or fetch_qt_source(cache), ITEMVIEWS)
    if args.all:
        qt_files = sorted(glob.glob(os.path.join(itemviews, "*.cpp")))
        ours_files = args.files or project_files()
    else:
        qt_files = [os.path.join(itemviews, "qtreeview.cpp")]
        qt_files += [a if os.path.isfile(a) else os.path.join(itemviews, a) for a in args.against]
        ours_files = args.files or default_files()
    for path in qt_files + ours_files:
        if not os.path.isfile(path):
            fail(f"no file {path}")
    if not qt_files:
        fail(f"no Qt sources in {itemviews}")

    alphabet = Alphabet()
    qt_functions = []
    for path in qt_files:
        qt_functions += read_functions(path, os.path.basename(path))
    corpus = QtCorpus(qt_functions, alphabet)

    def qt_name(k):
        if k is None:
            return "-"
        label, name = qt_functions[k][:2]
        return f"{label}:{name}" if len(qt_files) > 1 else name

    highest, longest, count = (0.0, "-"), (0, "-"), 0
    for path in ours_files:
        inside = os.path.abspath(path).startswith(ROOT + os.sep)
        functions = read_functions(path, os.path.relpath(path, ROOT) if inside else path)
        if not args.all:
            if not functions:  # an empty file must not pass as a clean one
                fail(f"no function definitions in {path}")
            print(f"{functions[0][0]}: {len(functions)} functions against "
                  f"{', '.join(map(os.path.basename, qt_files))} ({len(qt_functions)} functions)")
            print(f"{'line':>5} {'tokens':>6}  {'our function':<38} {'most alike in Qt':<38} "
                  "ratio share  run  run lines")
        for label, name, line, toks in functions:
            ratio, share, k, run, at, run_k, runs = measure(corpus, toks, alphabet, args)
            count += 1
            small = len(toks) < args.min_tokens
            if not small and ratio > highest[0]:
                highest = (ratio, f"{label}:{name}")
            if run > longest[0]:
                longest = (run, f"{label}:{name}")
            over = (ratio > args.max_ratio and not small) or run >= args.max_run
            if args.all and not over:
                continue
            where = f"{label}:{line} {name} ({len(toks)} tokens)" if args.all else \
                f"{line:>5} {len(toks):>6}  {name:<38}"
            notes = " (small)" if small and ratio > args.max_ratio else ""
            if run_k != k and run >= QtCorpus.SEED:
                notes += f" (run in {qt_name(run_k)})"
            run_lines = f"{toks[at][2]}-{toks[at + run - 1][2]}" if run else "-"
            alike = f"{ratio:5.2f} {share:5.2f}" if k is not None else "    -     -"  # not looked for
            print(f"{where} {qt_name(k):<38} {alike} {run:4}  {run_lines}{notes}")
            for i, (length, owner) in enumerate(runs if args.runs else ()):
                # A run that is the tail of the one starting a token earlier is not new.
                if length >= args.runs and (i == 0 or runs[i - 1][0] - 1 < length):
                    print(f"        run of {length} tokens, our lines {toks[i][2]}-"
                          f"{toks[i + length - 1][2]}, in Qt's {qt_name(owner)}")
    met = highest[0] <= args.max_ratio and longest[0] < args.max_run
    print(f"summary: highest ratio {highest[0]:.2f} ({highest[1]}), longest run {longest[0]} "
          f"tokens ({longest[1]}): bar (no function of {args.min_tokens}+ tokens above "
          f"{args.max_ratio}, no run of {args.max_run}+ tokens) {'met' if met else 'NOT met'}; "
          f"{count} functions in {time.time() - started:.1f} s")
    return 0 if met else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (OSError, subprocess.CalledProcessError) as error:
        fail(str(error))
