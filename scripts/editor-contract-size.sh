#!/usr/bin/env bash
# Measures the editing control's public face: the member functions
# TCustomSynEdit declares public (constructors, destructor and hooks
# included; deleted and compiler-made ones not) and the #include lines of
# editor/SynEdit.h. Reads the declarations from clang's syntax tree, so
# comments, macros and line breaks do not change the count.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
header="$root/src/editor/SynEdit.h"
cd "$root"
clang++ -x c++ -std=c++20 -fsyntax-only -Isrc -Xclang -ast-dump=json \
  -Xclang -ast-dump-filter=TCustomSynEdit "$header" 2>/dev/null | python3 -c '
import json, sys
text = sys.stdin.read()
dec = json.JSONDecoder()
pos, best = 0, None
while True:
    start = text.find("{", pos)
    if start < 0:
        break
    node, pos = dec.raw_decode(text, start)
    if (node.get("kind") == "CXXRecordDecl" and node.get("name") == "TCustomSynEdit"
            and node.get("completeDefinition")):
        best = node
kinds = {"CXXMethodDecl", "CXXConstructorDecl", "CXXDestructorDecl", "FunctionTemplateDecl"}
count, access = 0, "private"
for m in best.get("inner", []):
    if m["kind"] == "AccessSpecDecl":
        access = m["access"]
    elif m["kind"] in kinds and access == "public" and not m.get("isImplicit") \
            and not m.get("explicitlyDeleted"):
        count += 1
print("public member functions of TCustomSynEdit:", count)
'
echo "#include lines in editor/SynEdit.h: $(grep -c '^#include' "$header")"
echo "project headers editor/SynEdit.h reaches: $(clang++ -x c++ -std=c++20 -fsyntax-only -Isrc -H "$header" 2>&1 \
  | grep -E '^\.+ src/' | sed 's/^\.* //' | sort -u | wc -l)"
echo "protected members the test editor makes public: $(grep -c '^ *using TCustomSynEdit::' "$root/tests/editor/HeadlessSynEdit.h")"
