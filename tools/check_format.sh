#!/usr/bin/env bash
# Checks that every C++ file of the project is formatted as .clang-format says.
#   tools/check_format.sh         report each file that differs; exit 1 if any does
#   tools/check_format.sh --fix   reformat those files in place
# Build trees (build*/), the layering check's fault fixtures and files that are
# not tracked by git are left out.
set -euo pipefail
cd "$(dirname "$0")/.."

fix=0
case "${1:-}" in
  "") ;;
  --fix) fix=1 ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac

format=${CLANG_FORMAT:-clang-format}
if ! command -v "$format" >/dev/null; then
  echo "$0: $format not found (Debian package clang-format)" >&2
  exit 2
fi

mapfile -d '' files < <(git ls-files -z -- '*.h' '*.hpp' '*.cpp' '*.cc' \
  ':!:build*/**' ':!:tests/layering/bad_tree/**')
if ((${#files[@]} == 0)); then
  echo "$0: no C++ files found" >&2
  exit 2
fi

if ((fix)); then
  printf '%s\0' "${files[@]}" | xargs -0 -n 50 "$format" -i --style=file
  echo "formatted ${#files[@]} files"
  exit 0
fi

if printf '%s\0' "${files[@]}" | xargs -0 -n 50 "$format" --dry-run -Werror --style=file; then
  echo "all ${#files[@]} C++ files are formatted"
else
  echo "$0: files above differ from .clang-format; run tools/check_format.sh --fix" >&2
  exit 1
fi
