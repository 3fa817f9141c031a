#!/usr/bin/env bash
# Prints the first Debian bookworm mirror this machine's apt uses, from one-line
# (sources.list, *.list) or deb822 (*.sources) entries; nothing when there is none.
set -euo pipefail

for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk '$1 == "deb" { for (i = 2; i < NF; i++) if ($i !~ /^\[/ && $(i + 1) == "bookworm") { print $i; exit } }' "$file"
done
for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    # Each stanza is a paragraph; keep the URI of one whose suites include bookworm.
    awk 'BEGIN { RS = ""; FS = "\n" }
        { uri = ""; suite = 0
          for (i = 1; i <= NF; i++) {
              if ($i ~ /^URIs:/) { split($i, w, " "); uri = w[2] }
              if ($i ~ /^Suites:/ && $i ~ /[ ]bookworm([ ]|$)/) suite = 1
          }
          if (uri != "" && suite) { print uri; exit } }' "$file"
done
