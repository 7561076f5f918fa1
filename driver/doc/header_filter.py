#!/usr/bin/env python3
"""Doxygen input filter for kq7120.h: turns the header's own comments into the API reference.

- the comment before each exported function becomes its documentation, in the group under which
  README.md lists the function ("### Functions");
- internal declarations (no KQ7120_API) are left out: they are not part of the library's API;
- the constant sections become named member groups of one "Constants and status codes" group, each
  constant documented by its trailing comment, else by its section's title.

Usage (as Doxygen runs it): header_filter.py README.md status_messages.cpp kq7120.h
(status_messages.cpp gives the message text of each of the driver's own codes.)
"""
import re
import sys

def readme_groups(readme_text):
    """[(group, [function names])] in the README's order."""
    lines = readme_text.split("### Functions", 1)[1].splitlines()
    groups, bullets = [], []
    for line in lines:
        if line.startswith("## ") or line.startswith("85 functions"):
            break
        if line.startswith("- "):
            bullets.append(line)
        elif line.startswith("  ") and bullets:
            bullets[-1] += line
        elif re.match(r"^[A-Z]\w+", line):
            if groups:
                groups[-1][1].extend(bullets)
            groups.append((line.split()[0], []))
            bullets = []
    if groups:
        groups[-1][1].extend(bullets)
    result = []
    for name, group_bullets in groups:
        functions = []
        for bullet in group_bullets:
            if "→" in bullet:
                functions += re.findall(r"`(kq7120_\w+)(?:\([^`]*\))?` →", bullet)
            else:
                functions += re.findall(r"`(kq7120_\w+)\(", bullet)
        result.append((name, functions))
    return result


def group_of(groups):
    return {function: name for name, functions in groups for function in functions}


def comment_text(comment):
    """The words of a plain comment, without its markers."""
    text = " ".join(line.strip().lstrip("/*").rstrip("*/").strip() for line in comment)
    return text.strip()


def driver_messages(source_text):
    """The texts of the driver's own codes, in code order, from the driver's message table."""
    table = source_text.split("kDriverMessages = {", 1)[1].split("};", 1)[0]
    return re.findall(r'"((?:[^"\\]|\\.)*)"', table)


def document_constant(line, fallback, messages):
    match = re.match(r"^(#define \w+\s+.*?)\s*(/\*\s*(.*?)\s*\*/)?\s*$", line)
    text = match.group(3) or fallback
    code = re.search(r"_VI_ERROR \+ 0x3FFC08([0-9A-F]{2})\)", line)
    if code and int(code.group(1), 16) < len(messages):
        text += f' Message: "{messages[int(code.group(1), 16)]}".'
    return f"{match.group(1)} /**< {text} */"


class Filter:
    def __init__(self, groups, messages):
        self.membership = group_of(groups)
        self.messages = messages
        self.output = ["/** \\defgroup constants Constants and status codes */"]
        self.output += [f"/** \\defgroup {name} {name} */" for name, _ in groups]
        self.comment = []        # a comment being read, or complete and waiting for what follows
        self.complete = False
        self.section = None      # title of the constant section, None outside the constants
        self.context = None      # the last plain comment in a constant section, for its defines
        self.skipping = False

    def flush_comment(self):
        if self.comment:
            self.output.extend(self.comment)
            if self.section:
                self.context = comment_text(self.comment)
        self.comment, self.complete = [], False

    def line(self, line):
        stripped = line.strip()
        if self.skipping:
            self.skipping = not stripped.endswith(");")
            return
        if self.comment and not self.complete:
            self.comment.append(line)
            self.complete = stripped.endswith("*/")
            return
        banner = re.match(r"^/\* ---- (.+?) -+ \*/$", stripped)
        if banner:
            self.flush_comment()
            opening = "/** @} */ " if self.section else "/** \\addtogroup constants\n@{ */ "
            self.output.append(opening + f"/** @name {banner.group(1)} */ /** @{{ */")
            self.section, self.context = banner.group(1), None
            return
        if stripped.startswith("/* ===="):
            self.flush_comment()
            if self.section:
                self.output.append("/** @} */ /** @} */")
                self.section = None
            self.output.append(line)
            return
        if stripped.startswith("/*"):
            self.flush_comment()
            self.comment, self.complete = [line], stripped.endswith("*/")
            return
        if line.startswith("KQ7120_API"):
            self.export(line)
            return
        if re.match(r"^ViStatus \w+\(", line):
            self.comment, self.complete = [], False
            self.skipping = not stripped.endswith(");")
            return
        self.flush_comment()
        if not stripped:
            self.context = None
        if self.section and line.startswith("#define"):
            self.output.append(document_constant(line, self.context or self.section + ".", self.messages))
        else:
            self.output.append(line)

    def export(self, line):
        name = re.search(r"\b(kq7120_\w+)\(", line).group(1)
        if self.comment:
            body = "\n".join(self.comment)
            body = "/**" + body.lstrip()[2:]
            if name in self.membership:
                body = body[:-2].rstrip() + f"\n * \\ingroup {self.membership[name]} */"
            else:
                sys.stderr.write(f"kq7120.h: {name} is in no group of README.md's function list\n")
            self.output.append(body)
        self.comment, self.complete = [], False
        self.output.append(line)


def filtered(header_lines, groups, messages):
    header_filter = Filter(groups, messages)
    for line in header_lines:
        header_filter.line(line)
    return header_filter.output


def main():
    readme, messages_source, header = sys.argv[1:4]
    with open(readme, encoding="utf-8") as file:
        groups = readme_groups(file.read())
    with open(messages_source, encoding="utf-8") as file:
        messages = driver_messages(file.read())
    with open(header, encoding="utf-8") as file:
        lines = file.read().splitlines()
    sys.stdout.write("\n".join(filtered(lines, groups, messages)) + "\n")


if __name__ == "__main__":
    main()
