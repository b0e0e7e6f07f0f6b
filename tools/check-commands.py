#!/usr/bin/env python3
"""Every external command the project's scripts call must come from a
package that a minimal Debian 12 has or that an install script installs.

Reads the shell scripts under tools/ and .ci/, the test scripts under
tests/ and the commands tests/web/*.js spawn by name; prints one line per
command that nothing installs ("script:line: command ...") and exits 1, or
prints one OK line.  The test command runs it (tests/commands/), and so does
tools/fresh-machine.sh right after the installs, so that a package installed
by hand on a developer's machine cannot hide a missing install step.

Where the commands come from, derived wherever this machine can tell:
  - the base system: the packages dpkg knows as Essential or Priority
    required, and apt (what "mmdebstrap --variant=minbase" installs);
  - the packages the scripts install: the PACKAGES arrays and the literal
    names given to "apt-get install", with everything they depend on;
  - tools/command-packages.txt, for a command whose package is not
    installed here (the browser and Windows packages on a desktop-only
    machine): "COMMAND PACKAGE", the package an install script names.  Where
    that package is installed, the line is held to what dpkg says.
It reads shell, not runs it, and knows only as much bash as these scripts
use; it is not a linter.

Usage: tools/check-commands.py [PROJECT_DIR]   (default: this script's tree)
"""
import os
import re
import sys

BUILTINS = set("""
. : [ alias bg bind break builtin caller cd command compgen complete compopt
continue declare dirs disown echo enable eval exec exit export false fc fg
getopts hash help history jobs kill let local logout mapfile popd printf pushd
pwd read readarray readonly return set shift shopt source suspend test times
trap true type typeset ulimit umask unalias unset wait
""".split())
KEYWORDS = set("if then else elif fi case esac for select while until do done in "
               "function time { } ! [[ ]]".split())
# Keywords after which a command follows.
OPENERS = {"if", "then", "else", "elif", "while", "until", "do", "!", "{"}
# Commands that run the command after their own options.  The value lists
# the options that take an argument; "DURATION" and "DIR" name a first
# operand that comes before the command.
WRAPPERS = {
    "sudo": {"-u", "-g", "-C", "-D", "-h", "-p", "-r", "-t", "-U"},
    "exec": {"-a"},
    "env": {"-u", "-C", "-S", "--unset", "--chdir"},
    "timeout": {"-s", "-k", "--signal", "--kill-after", "DURATION"},
    "nice": {"-n", "--adjustment"},
    "ionice": {"-c", "-n", "-p"},
    "nohup": set(),
    "setsid": set(),
    "stdbuf": {"-i", "-o", "-e"},
    "xvfb-run": {"-n", "-s", "-e", "-f", "-w", "-p", "--server-num", "--server-args",
                 "--error-file", "--auth-file", "--wait", "--xauth-protocol"},
    "xargs": {"-a", "-d", "-E", "-I", "-L", "-n", "-P", "-s", "--delimiter", "--max-args",
              "--max-procs", "--replace", "--arg-file"},
    "chroot": {"--userspec", "--groups", "DIR"},
    "time": set(),
    "command": {"-v", "-V"},
    "builtin": set(),
}
# sudo is only ever asked for when the scripts do not run as root, and no
# install step can bring it (installing needs it).
NEVER_FLAGGED = {"sudo"}
BIN_DIRS = ("/bin/", "/sbin/", "/usr/bin/", "/usr/sbin/", "/usr/games/")
NAME = re.compile(r"^[A-Za-z0-9_][A-Za-z0-9_.+-]*$")
ASSIGNMENT = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])?\+?=")


# ---------------------------------------------------------------- lexing --

class Word:
    """One shell word: its parts ('lit', text) / ('param', text) / ('sub',
    tokens) / ('arith', None), and where the nested commands are."""

    def __init__(self, line):
        self.line = line
        self.parts = []
        self.quoted = False

    def lit(self, text):
        if self.parts and self.parts[-1][0] == "lit":
            self.parts[-1] = ("lit", self.parts[-1][1] + text)
        else:
            self.parts.append(("lit", text))

    @property
    def literal(self):
        """The word's text when it has no expansion in it, else None."""
        if all(kind == "lit" for kind, _ in self.parts):
            return "".join(text for _, text in self.parts)
        return None

    @property
    def text(self):
        return "".join(t if k == "lit" else "$" for k, t in self.parts)

    def subs(self):
        return [tokens for kind, tokens in self.parts if kind == "sub"]


class Lexer:
    """Splits bash text into words and operators, skipping comments and
    heredoc bodies, with the commands of $(...), `...` and <(...) lexed as
    nested token lists."""

    OPERATORS = [";;&", "&>>", "<<<", "<<-", ";;", ";&", "&&", "||", "|&", "&>", "<<", "<>",
                 "<&", ">&", ">>", ">|", ";", "&", "|", "(", ")", "<", ">", "\n"]

    def __init__(self, text, line=1):
        self.s = text
        self.i = 0
        self.line = line
        self.heredocs = []

    def peek(self, n=0):
        j = self.i + n
        return self.s[j] if j < len(self.s) else ""

    def advance(self, n=1):
        for _ in range(n):
            if self.peek() == "\n":
                self.line += 1
            self.i += 1

    def tokens(self, closing=None):
        """Tokens up to the end of the text, or up to the unmatched closing
        parenthesis of a $( or <( (consumed)."""
        out, depth = [], 0
        while True:
            self.skip_blanks()
            c = self.peek()
            if c == "":
                return out
            if c == "#":
                while self.peek() not in ("", "\n"):
                    self.advance()
                continue
            if c == "\n":
                out.append(("op", "\n", self.line))
                self.advance()
                self.read_heredoc_bodies()
                continue
            if c in "<>" and self.peek(1) == "(":
                word = Word(self.line)
                self.advance(2)
                word.parts.append(("sub", Lexer.nested(self, ")")))
                out.append(("word", word))
                continue
            if c == "(" and self.peek(1) == "(":
                self.skip_parens(2)
                out.append(("word", self.arith_word()))
                continue
            op = self.operator()
            if op:
                if op == ")" and closing and depth == 0:
                    return out
                depth += {"(": 1, ")": -1}.get(op, 0)
                out.append(("op", op, self.line))
                if op in ("<<", "<<-"):
                    self.skip_blanks()
                    word = self.word()
                    self.heredocs.append((word.text.replace("$", ""), op == "<<-"))
                    out.append(("word", word))
                continue
            word = self.word()
            if self.peek() in "<>" and word.literal and word.literal.isdigit():
                continue  # a file descriptor's number: the redirection follows
            if self.peek() == "(" and word.literal and ASSIGNMENT.match(word.literal) \
                    and word.literal.endswith("="):
                self.advance()
                out.append(("array", word, self.tokens(")")))
                continue
            out.append(("word", word))

    @staticmethod
    def nested(outer, closing):
        inner = Lexer(outer.s, outer.line)
        inner.i = outer.i
        tokens = inner.tokens(closing)
        outer.i, outer.line = inner.i, inner.line
        return tokens

    def arith_word(self):
        word = Word(self.line)
        word.parts.append(("arith", None))
        return word

    def skip_blanks(self):
        while True:
            c = self.peek()
            if c in (" ", "\t", "\r"):
                self.advance()
            elif c == "\\" and self.peek(1) == "\n":
                self.advance(2)
            else:
                return

    def operator(self):
        for op in self.OPERATORS:
            if self.s.startswith(op, self.i):
                self.advance(len(op))
                return op
        return None

    def read_heredoc_bodies(self):
        while self.heredocs:
            delimiter, strip_tabs = self.heredocs.pop(0)
            while self.peek() != "":
                end = self.s.find("\n", self.i)
                end = len(self.s) if end < 0 else end
                line = self.s[self.i:end]
                self.advance(end - self.i + 1)
                if (line.lstrip("\t") if strip_tabs else line) == delimiter:
                    break

    def skip_parens(self, opened):
        """Skips to the parenthesis that closes `opened` open ones."""
        self.advance(opened)
        depth = opened
        while depth and self.peek() != "":
            c = self.peek()
            depth += {"(": 1, ")": -1}.get(c, 0)
            self.advance()

    def word(self):
        word = Word(self.line)
        while True:
            c = self.peek()
            if c == "" or c in " \t\r\n;&|()<>":
                return word
            if c == "\\":
                self.advance()
                if self.peek() != "\n":
                    word.lit(self.peek())
                self.advance()
            elif c == "'":
                word.quoted = True
                end = self.s.find("'", self.i + 1)
                end = len(self.s) if end < 0 else end
                word.lit(self.s[self.i + 1:end])
                self.advance(end + 1 - self.i)
            elif c == '"':
                word.quoted = True
                self.advance()
                self.double_quoted(word)
            else:
                self.expansion_or_letter(word)

    def double_quoted(self, word):
        while self.peek() not in ("", '"'):
            c = self.peek()
            if c == "\\":
                self.advance()
                word.lit(self.peek())
                self.advance()
            else:
                self.expansion_or_letter(word)
        self.advance()

    def expansion_or_letter(self, word):
        """$..., `...` or a plain letter, as they read alike inside double
        quotes and out."""
        c = self.peek()
        if c == "$":
            self.dollar(word)
        elif c == "`":
            word.parts.append(("sub", self.backticks()))
        else:
            word.lit(c)
            self.advance()

    def dollar(self, word):
        nxt = self.peek(1)
        if nxt == "(" and self.peek(2) == "(":
            self.advance()
            self.skip_parens(2)
            word.parts.append(("arith", None))
        elif nxt == "(":
            self.advance(2)
            word.parts.append(("sub", Lexer.nested(self, ")")))
        elif nxt == "{":
            self.advance(2)
            start = self.i
            self.skip_braces(word)
            word.parts.append(("param", self.s[start:self.i - 1]))
        elif nxt == "'":
            self.advance(2)
            while self.peek() not in ("", "'"):
                self.advance(2 if self.peek() == "\\" else 1)
            self.advance()
            word.lit("?")
        elif re.match(r"[A-Za-z_]", nxt):
            m = re.compile(r"[A-Za-z_][A-Za-z0-9_]*").match(self.s, self.i + 1)
            word.parts.append(("param", m.group(0)))
            self.advance(1 + len(m.group(0)))
        elif nxt and nxt in "0123456789@*#?$!-":
            word.parts.append(("param", nxt))
            self.advance(2)
        else:
            word.lit("$")
            self.advance()

    def skip_braces(self, word):
        """Skips a ${...} to its closing brace, keeping the commands of any
        $(...) in it."""
        depth = 1
        while depth and self.peek() != "":
            c = self.peek()
            if c == "\\":
                self.advance(2)
                continue
            if c == "'" and depth:
                end = self.s.find("'", self.i + 1)
                self.advance((len(self.s) if end < 0 else end) + 1 - self.i)
                continue
            if c == "$" and self.peek(1) == "(" and self.peek(2) != "(":
                self.advance(2)
                word.parts.append(("sub", Lexer.nested(self, ")")))
                continue
            depth += {"{": 1, "}": -1}.get(c, 0)
            self.advance()

    def backticks(self):
        line = self.line
        self.advance()
        start = self.i
        while self.peek() not in ("", "`"):
            self.advance(2 if self.peek() == "\\" else 1)
        text = self.s[start:self.i]
        self.advance()
        return Lexer(text, line).tokens()


# --------------------------------------------------------------- parsing --

class Script:
    """One script's tokens, the functions it defines and the values its
    variables are given, and the commands it calls."""

    def __init__(self, path, text):
        self.path = path
        self.tokens = Lexer(text).tokens()
        self.functions = set()
        self.runners = {}     # function -> how many arguments come before the command it runs
        self.arrays = {}      # name -> the first element of each value it is given
        self.values = {}      # name -> set of literal values (None: not literal)
        self.sourced = []
        self.calls = []       # (line, command)
        self.installs = set()
        self.collect(self.tokens)

    def collect(self, tokens):
        """Functions, variables and sourced files, wherever they are."""
        for n, token in enumerate(tokens):
            if token[0] == "array":
                name = re.match(r"[A-Za-z_][A-Za-z0-9_]*", token[1].literal).group(0)
                words = [t[1] for t in token[2] if t[0] == "word"]
                if not token[1].literal.endswith("+="):
                    self.arrays.setdefault(name, []).append(words[0].literal if words else "")
                if name == "PACKAGES":
                    self.installs.update(w.literal for w in words if w.literal)
                for t in token[2]:
                    if t[0] == "word":
                        self.collect_subs(t[1])
                continue
            if token[0] != "word":
                continue
            word = token[1]
            self.collect_subs(word)
            nxt = tokens[n + 1:n + 3]
            if word.literal and NAME.match(word.literal) and len(nxt) == 2 \
                    and nxt[0][:2] == ("op", "(") and nxt[1][:2] == ("op", ")"):
                self.functions.add(word.literal)
                runs = self.runs_arguments(tokens, n + 3)
                if runs is not None:
                    self.runners[word.literal] = runs
            if word.literal == "function" and len(nxt) >= 1 and nxt[0][0] == "word":
                self.functions.add(nxt[0][1].literal)
            if word.literal in (".", "source") and nxt and nxt[0][0] == "word":
                self.sourced.append(os.path.basename(nxt[0][1].text))
            m = word.parts and word.parts[0][0] == "lit" and ASSIGNMENT.match(word.parts[0][1])
            if m and "[" not in m.group(0):
                self.assigned(word, m.group(0))

    @staticmethod
    def runs_arguments(tokens, n):
        """For a function whose body (from tokens[n]) runs its arguments as
        a command ("$@" in command position, after "shift N" or "shift"): N."""
        while n < len(tokens) and tokens[n][:2] == ("op", "\n"):
            n += 1
        depth, shifted, after = 0, 0, ("op", "\n")
        for token in tokens[n:]:
            text = token[1].literal if token[0] == "word" else None
            depth += {"{": 1, "}": -1}.get(text, 0)
            if depth == 0:
                return None
            if token[0] == "word" and token[1].parts == [("param", "@")] and (
                    after[0] == "op" and after[1] in ("\n", ";", "&&", "||", "|", "(")
                    or after[0] == "word" and after[1].literal in OPENERS):
                return shifted
            if text == "shift":
                shifted = 1   # "shift" alone shifts one
            elif after[0] == "word" and after[1].literal == "shift" and text and text.isdigit():
                shifted = int(text)
            after = token
        return None

    def collect_subs(self, word):
        for sub in word.subs():
            self.collect(sub)

    def assigned(self, word, head):
        """Records NAME=VALUE: a literal value, or the default of
        ${OTHER:-value}, or None."""
        name = head.rstrip("+=")
        rest = Word(word.line)
        rest.parts = [("lit", word.parts[0][1][len(head):])] + word.parts[1:]
        rest.parts = [p for p in rest.parts if p != ("lit", "")]
        value = rest.literal
        if value is None and len(rest.parts) == 1 and rest.parts[0][0] == "param":
            m = re.match(r"^[A-Za-z_][A-Za-z0-9_]*:?-(.*)$", rest.parts[0][1])
            value = m.group(1) if m and "$" not in m.group(1) else None
        if value is None and all(k in ("lit", "param") for k, _ in rest.parts):
            value = "".join(t if k == "lit" else "${%s}" % t for k, t in rest.parts)
        self.values.setdefault(name, set()).add(value)

    def expand(self, text, seen=()):
        """The literal values a ${NAME}-pattern string can take."""
        m = re.search(r"\$\{([A-Za-z_][A-Za-z0-9_]*)\}", text)
        if not m:
            return {text}
        name = m.group(1)
        values = self.values.get(name, {None}) if name not in seen else {None}
        out = set()
        for value in values:
            if value is None:
                return {None}
            for rest in self.expand(text[m.end():], seen):
                if rest is None:
                    return {None}
                for head in self.expand(text[:m.start()] + value, seen + (name,)):
                    out.add(None if head is None else head + rest)
        return out


class Walker:
    """Finds the words in command position."""

    def __init__(self, script, functions, runners):
        self.script = script
        self.functions = functions
        self.runners = runners

    def walk(self, tokens):
        n, expect, in_case = 0, True, []   # in_case: per case, reading patterns?
        while n < len(tokens):
            token = tokens[n]
            kind = token[0]
            if kind == "op":
                op = token[1]
                if op in ("<", ">", ">>", "<<", "<<-", "<<<", "<>", "<&", ">&", "&>", "&>>", ">|"):
                    n += 2   # a redirection and its target
                    continue
                if op in (";;", ";&", ";;&") and in_case:
                    in_case[-1] = True
                elif op == ")" and in_case and in_case[-1]:
                    in_case[-1] = False
                    expect = True
                elif op not in ("|",) or not (in_case and in_case[-1]):
                    expect = op != ")"
                n += 1
                continue
            if kind == "array":
                for t in token[2]:
                    if t[0] == "word":
                        self.subs(t[1])
                n += 1
                continue
            word = token[1]
            self.subs(word)
            text = word.literal
            if in_case and in_case[-1]:
                if text == "esac":
                    in_case.pop()
                    expect = False
                n += 1
                continue
            if not expect:
                n += 1
                continue
            if text == "case":
                in_case.append(True)
                n = self.skip_to(tokens, n + 1, "in") + 1
                continue
            if text == "esac" and in_case:
                in_case.pop()
                expect = False
            elif text in ("for", "select"):
                n = self.skip_to(tokens, n + 1, "do")
                continue
            elif text == "[[":
                n = self.skip_to(tokens, n + 1, "]]") + 1
                expect = False
                continue
            elif text == "function":
                n += 2
                continue
            elif text and tokens[n + 1:n + 3] and tokens[n + 1][:2] == ("op", "(") \
                    and tokens[n + 2][:2] == ("op", ")"):
                n += 3   # NAME() { ...: the body's first word is a command
                continue
            elif text in OPENERS:
                pass
            elif text in ("fi", "done", "}", "]]"):
                expect = False
            elif text is not None and ASSIGNMENT.match(text):
                pass
            elif word.parts and ASSIGNMENT.match(word.parts[0][1] if word.parts[0][0] == "lit" else ""):
                pass
            else:
                n = self.command(tokens, n)
                expect = False
                continue
            n += 1

    def skip_to(self, tokens, n, keyword):
        while n < len(tokens):
            if tokens[n][0] == "word":
                if tokens[n][1].literal == keyword:
                    return n
                self.subs(tokens[n][1])
            n += 1
        return n

    def subs(self, word):
        for sub in word.subs():
            self.walk(sub)

    def command(self, tokens, n):
        """Checks the command at tokens[n] (and the one a wrapper runs);
        returns the index after the words it used."""
        word = tokens[n][1]
        names = self.names(word)
        if names is None:
            return n + 1
        checked = [name for name in names if name]
        for name in checked:
            if name not in BUILTINS and name not in KEYWORDS and name not in self.functions:
                self.script.calls.append((word.line, name))
            if name == "find":
                self.find_exec(tokens, n + 1)
        for name in checked:
            runs = self.runners.get(name)
            if runs is not None and n + 1 + runs < len(tokens) and tokens[n + 1 + runs][0] == "word":
                self.command(tokens, n + 1 + runs)
        wrappers = [name for name in checked if name in WRAPPERS]
        if wrappers:
            return self.wrapped(tokens, n + 1, wrappers[0])
        if not checked:   # $SUDO, or an array that may be empty
            return self.wrapped(tokens, n + 1, "")
        return n + 1

    def names(self, word):
        """The command names a word in command position can be: a literal
        name, or the values of the variable it expands; None when unknown or
        a path."""
        text = word.literal
        if text is not None:
            return [text] if NAME.match(text) or text in BUILTINS or text in KEYWORDS else None
        if len(word.parts) != 1 or word.parts[0][0] != "param":
            return None
        param = word.parts[0][1]
        m = re.match(r"^([A-Za-z_][A-Za-z0-9_]*)\[[@*]\]$", param)
        if m:
            firsts = self.script.arrays.get(m.group(1), [""])
            if any(f is None or (f and not NAME.match(f)) for f in firsts):
                return None
            return sorted(set(firsts))
        m = re.match(r"^[A-Za-z_][A-Za-z0-9_]*:?-([^$]*)$", param)
        if m:
            return [m.group(1)] if NAME.match(m.group(1)) else None
        if param.lower() == "sudo":
            return [""]
        values = self.script.values.get(param)
        if not values:
            return None
        out = set()
        for value in values:
            for v in self.script.expand(value) if value is not None else {None}:
                if v is not None and (v == "" or NAME.match(v)):
                    out.add(v)
        return sorted(out) or None

    def wrapped(self, tokens, n, wrapper):
        """Skips a wrapper's options and operands; the command it runs is
        then in command position."""
        takes = WRAPPERS.get(wrapper, set())
        needs = [a for a in ("DURATION", "DIR") if a in takes]
        while n < len(tokens) and tokens[n][0] == "word":
            text = tokens[n][1].text
            if wrapper == "command" and text in ("-v", "-V"):
                return n + 2
            if text.startswith("-") or (wrapper == "env" and ASSIGNMENT.match(text)):
                n += 2 if text.split("=")[0] in takes and "=" not in text else 1
                continue
            if needs:
                needs.pop()
                n += 1
                continue
            return self.command(tokens, n)
        return n

    def find_exec(self, tokens, n):
        while n < len(tokens) and tokens[n][0] == "word":
            if tokens[n][1].literal in ("-exec", "-execdir", "-ok") and n + 1 < len(tokens):
                self.command(tokens, n + 1)
            n += 1


# ------------------------------------------------------------- packages --

def read_status(path="/var/lib/dpkg/status"):
    """dpkg's database: installed package -> its fields."""
    packages, fields = {}, {}
    with open(path, encoding="utf-8", errors="replace") as status:
        for line in list(status) + [""]:
            if line.strip() == "":
                if fields.get("Status", "").endswith(" installed"):
                    packages[fields["Package"]] = fields
                fields = {}
            elif line[0] not in " \t":
                key, _, value = line.partition(":")
                fields[key] = value.strip()
    return packages


def depends_closure(names, status):
    """The installed packages among names and all they depend on."""
    provides = {}
    for name, fields in status.items():
        for p in fields.get("Provides", "").split(","):
            if p.strip():
                provides.setdefault(p.split("(")[0].strip(), set()).add(name)
    todo, seen = list(names), set()
    while todo:
        name = todo.pop().split(":")[0]
        for real in ({name} if name in status else set()) | provides.get(name, set()):
            if real in seen:
                continue
            seen.add(real)
            fields = status[real]
            for field in ("Depends", "Pre-Depends"):
                for group in fields.get(field, "").split(","):
                    todo += [a.split("(")[0].strip() for a in group.split("|") if a.strip()]
    return seen


def package_files(package):
    for suffix in ("", ":amd64", ":all"):
        path = "/var/lib/dpkg/info/%s%s.list" % (package, suffix)
        if os.path.exists(path):
            with open(path, encoding="utf-8", errors="replace") as listing:
                return [line.rstrip("\n") for line in listing]
    return []


def alternatives():
    """(link, [alternative paths]) of every alternative dpkg manages."""
    folder = "/var/lib/dpkg/alternatives"
    out = []
    for name in os.listdir(folder) if os.path.isdir(folder) else []:
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            lines = f.read().split("\n")
        links = [lines[1]]
        i = 2
        while i + 1 < len(lines) and lines[i]:
            links.append(lines[i + 1])
            i += 2
        slaves = len(links) - 1
        i += 1
        while i < len(lines) and lines[i]:
            paths = [lines[i]] + lines[i + 2:i + 2 + slaves]
            out += [(link, path) for link, path in zip(links, paths) if path]
            i += 2 + slaves
    return out


def commands_of(packages, alternative_links):
    """The command names the packages' files give."""
    files = set()
    for package in packages:
        files.update(package_files(package))
    names = {os.path.basename(f) for f in files if f.startswith(BIN_DIRS) and not f.endswith("/")}
    names.update(os.path.basename(link) for link, path in alternative_links
                 if path in files and link.startswith(BIN_DIRS))
    return names


# ------------------------------------------------------------------ main --

def scripts_of(root):
    found = []
    for top in ("tools", ".ci", "tests"):
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(d for d in dirs if d != "node_modules")
            for name in sorted(files):
                path = os.path.join(folder, name)
                if name.endswith(".sh") or (top == ".ci" and shell_shebang(path)) \
                        or (top != ".ci" and "." not in name and shell_shebang(path)):
                    found.append(path)
    return found


def shell_shebang(path):
    try:
        with open(path, "rb") as f:
            first = f.readline()
    except OSError:
        return False
    return re.match(rb"#!\s*\S*(/| )(ba)?sh\b", first) is not None


def spawned_by_js(root):
    """(path, line, name) of the commands tests/web/*.js spawn by name."""
    out = []
    folder = os.path.join(root, "tests", "web")
    for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
        if not name.endswith(".js"):
            continue
        path = os.path.join(folder, name)
        text = open(path, encoding="utf-8").read()
        calls = re.finditer(r"(?<![\w.])(?:child_process\.)?(spawn|spawnSync|execFile|execFileSync)"
                            r"\(\s*(?:(['\"`])([^'\"`]*)\2|([A-Za-z_$][\w$]*))", text)
        for m in calls:
            command = m.group(3)
            if command is None:
                const = re.search(r"\bconst\s+%s\s*=([^;\n]*)" % re.escape(m.group(4)), text)
                # A name, or an environment variable's default name; a
                # value a call works out (a path from an option) is no name.
                value = const.group(1) if const and "(" not in const.group(1) else ""
                literals = re.findall(r"['\"]([^'\"]+)['\"]", value)
                command = literals[-1] if literals else None
            if command and NAME.match(command):
                out.append((path, text.count("\n", 0, m.start()) + 1, command))
    return out


def read_command_list(path):
    listed = {}
    if os.path.exists(path):
        for number, line in enumerate(open(path, encoding="utf-8"), 1):
            fields = line.split("#")[0].split()
            if len(fields) == 2:
                listed[fields[0]] = (fields[1], number)
    return listed


def read_scripts(root):
    """The scripts, each walked for the commands it calls, and the packages
    the install scripts name."""
    scripts = {path: Script(path, open(path, encoding="utf-8").read()) for path in scripts_of(root)}
    by_name = {}
    for path in scripts:
        by_name.setdefault(os.path.basename(path), path)
    named = set()
    for script in scripts.values():
        if os.path.basename(script.path).startswith("install-"):
            named |= script.installs
        named |= apt_installs(script)
        functions, runners = set(script.functions), dict(script.runners)
        for sourced in script.sourced:
            if sourced in by_name:
                functions |= scripts[by_name[sourced]].functions
                runners.update(scripts[by_name[sourced]].runners)
        Walker(script, functions, runners).walk(script.tokens)
    return scripts, named


def commands_here(named, status, links):
    """The commands of the base system and of the named packages installed
    here, with all they depend on."""
    base = {p for p, f in status.items() if f.get("Essential") == "yes"
            or f.get("Priority") == "required" or p == "apt"}
    return commands_of(depends_closure(base | named, status), links)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    rel = lambda path: os.path.relpath(path, root)
    scripts, named = read_scripts(root)
    status, links = read_status(), alternatives()
    have = commands_here(named, status, links)
    list_path = os.path.join(root, "tools", "command-packages.txt")
    listed = read_command_list(list_path)

    offences = []
    # The list holds where dpkg can tell.
    for command, (package, number) in sorted(listed.items()):
        if package in status and package in named and \
                command not in commands_of(depends_closure([package], status), links):
            offences.append("%s:%d: %s: the installed %s gives no such command"
                            % (rel(list_path), number, command, package))
    calls = [(path, line, name) for path, script in scripts.items() for line, name in script.calls]
    calls += spawned_by_js(root)
    for path, line, command in sorted(calls):
        if command in have or command in NEVER_FLAGGED:
            continue
        package = listed.get(command, (None,))[0]
        if package in named and package not in status:
            continue
        if package is None:
            why = ("no package an install script names gives it (when one does but is not "
                   "installed here, add the two to tools/command-packages.txt)")
        else:
            why = "%s gives it, and no install script names %s" % (package, package)
        offences.append("%s:%d: %s: %s" % (rel(path), line, command, why))

    for offence in offences:
        print(offence)
    if offences:
        print("check-commands: %d call%s of a command nothing installs (a fresh Debian 12 lacks it)"
              % (len(offences), "" if len(offences) == 1 else "s"))
        return 1
    print("check-commands: OK, %d scripts call %d commands, each from the base system or "
          "a package an install script names" % (len(scripts), len({c for _, _, c in calls})))
    return 0


def apt_installs(script):
    """The literal package names the script gives "apt-get install"."""
    out = set()

    def scan(tokens):
        words = []
        for token in tokens + [("op", "\n", 0)]:
            if token[0] == "word":
                words.append(token[1])
                for sub in token[1].subs():
                    scan(sub)
                continue
            texts = [w.literal for w in words]
            for i, text in enumerate(texts[:-1]):
                if text in ("apt-get", "apt") and "install" in texts[i + 1:]:
                    after = texts[texts.index("install", i) + 1:]
                    out.update(t for t in after if t and NAME.match(t) and not t.startswith("-"))
            words = []
    scan(script.tokens)
    return out


if __name__ == "__main__":
    sys.exit(main())
