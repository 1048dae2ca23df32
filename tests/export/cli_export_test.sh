#!/bin/sh
# `xfer export` on a small embedded server: every format written, the xlsx read back with
# openpyxl, a bad query and a bad format ending with status 1 and no file.
set -u
xfer="$1"
python="$2"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
"$xfer" sql --server "$dir/s" --create -e "CREATE DATABASE D1" >/dev/null || fail "server"
"$xfer" sql --server "$dir/s" --database D1 -e "CREATE TABLE T (N int, Name varchar(20)) \
  INSERT INTO T VALUES (1, N'سیب') INSERT INTO T VALUES (2, 'O''Neil')" >/dev/null 2>&1 \
  || fail "table"
for f in xlsx xls doc html dbf dbf-dos csv; do
  "$xfer" export --server "$dir/s" --database D1 -e "SELECT * FROM T" --format "$f" \
    --out "$dir/out.$f" >/dev/null || fail "format $f"
  test -s "$dir/out.$f" || fail "no file for $f"
done
"$python" - "$dir/out.xlsx" <<'PY' || fail "xlsx read back"
import sys, openpyxl
s = openpyxl.load_workbook(sys.argv[1]).active
rows = [[c.value for c in r] for r in s.iter_rows()]
assert rows == [["N", "Name"], [1, "سیب"], [2, "O'Neil"]], rows
assert s.sheet_view.rightToLeft
PY
"$xfer" export --server "$dir/s" --database D1 -e "SELECT * FROM Nope" --format csv \
  --out "$dir/bad.csv" >/dev/null 2>&1 && fail "bad query succeeded"
test -e "$dir/bad.csv" && fail "bad query left a file"
"$xfer" export --server "$dir/s" --database D1 -e "SELECT * FROM T" --format pdf \
  --out "$dir/bad.pdf" >/dev/null 2>&1 && fail "bad format succeeded"
"$xfer" export --help | grep -q -- "--format" || fail "help"
echo ok
