#!/usr/bin/env bash
# Fails when a core folder includes a Qt header.
set -u
root=${1:-.}
hits=$(grep -rnE '#include *[<"](Q[A-Za-z]+|Qt)' "$root"/src/{base,buffer,highlight,search,platform,editor,completion,appcore} 2>/dev/null)
if [ -n "$hits" ]; then
  echo "Qt headers in the platform-free core:"
  echo "$hits"
  exit 1
fi
echo "core free of Qt"
