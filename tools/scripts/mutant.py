#!/usr/bin/env python3
# Reads the list, checks it against a source tree and applies one fault.
#   select ROOT PATTERN   "id<TAB>line<TAB>file<TAB>e2e scripts or -" per selected fault; the
#                         problems of the list (a malformed block, an original not found exactly
#                         once in ROOT, an unknown e2e script) on standard error, status 1
#   apply ID TREE         puts fault ID into TREE; status 3, saying why, when it cannot
#   show ID               the file, original and replacement of fault ID
# Usage: mutant.py COMMAND LIST [ARGUMENTS]   (run by tools/scripts/run-mutants.sh)
import os, re, sys

def parse(path):
    faults, problems, block = [], [], None
    def close():
        if block is None:
            return
        if block["old"] is None or block["new"] is None:
            problems.append(f"mutants.txt:{block['line']}: a block needs a '- ' and a '+ ' line")
        elif block["old"] == block["new"] or not block["old"].strip():
            problems.append(f"mutants.txt:{block['line']}: the original is empty or unchanged")
        else:
            faults.append(block)
    for number, text in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
        if text.startswith("#"):
            continue
        if not text.strip():
            close()
            block = None
        elif text.startswith("@ "):
            close()
            head = re.fullmatch(r"@ (\S+)(?: \[e2e:((?: [\w-]+)+)\])?", text)
            if head is None:
                problems.append(f"mutants.txt:{number}: expected '@ FILE [e2e: SCRIPT...]'")
                block = None
                continue
            block = {"line": number, "file": head.group(1), "old": None, "new": None,
                     "e2e": (head.group(2) or "").split()}
        elif block is not None and text.startswith("- ") and block["old"] is None:
            block["old"] = text[2:]
        elif block is not None and (text.startswith("+ ") or text == "+") and block["new"] is None:
            block["new"] = text[2:]
        else:
            problems.append(f"mutants.txt:{number}: unexpected line: {text}")
    close()
    for index, fault in enumerate(faults, 1):
        fault["id"] = index
    return faults, problems

def occurrences(tree, fault):
    path = os.path.join(tree, fault["file"])
    if not os.path.isfile(path):
        return -1
    return open(path, encoding="utf-8").read().count(fault["old"])

command, faults_file = sys.argv[1], sys.argv[2]
faults, problems = parse(faults_file)
if command == "select":
    tree, pattern = sys.argv[3], sys.argv[4]
    for fault in faults:
        if not re.search(pattern, fault["file"]):
            continue
        found = occurrences(tree, fault)
        if found != 1:
            problems.append(f"mutants.txt:{fault['line']}: {fault['file']}: " +
                            ("no such file" if found < 0 else f"original found {found} times"))
        for script in fault["e2e"]:
            if not os.path.isfile(os.path.join(tree, "tests/e2e", script + ".sh")):
                problems.append(f"mutants.txt:{fault['line']}: no tests/e2e/{script}.sh")
        print(f"{fault['id']}\t{fault['line']}\t{fault['file']}\t{' '.join(fault['e2e']) or '-'}")
    for problem in problems:
        print(problem, file=sys.stderr)
    sys.exit(1 if problems else 0)
fault = faults[int(sys.argv[3]) - 1]
if command == "show":
    print(f"{fault['file']} (mutants.txt:{fault['line']})\n    - {fault['old']}\n    + {fault['new']}")
elif command == "apply":
    found = occurrences(sys.argv[4], fault)
    if found != 1:
        print("no such file" if found < 0 else f"original found {found} times")
        sys.exit(3)
    path = os.path.join(sys.argv[4], fault["file"])
    text = open(path, encoding="utf-8").read()
    with open(path, "w", encoding="utf-8") as out:
        out.write(text.replace(fault["old"], fault["new"]))
