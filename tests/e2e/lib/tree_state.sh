#!/bin/bash
# Prints one line per entry under a folder: path, type, mode, size, mtime and, for files, a
# SHA-256 checksum. Two listings differ exactly when something under the folder changed.
root=$1
cd "$root" || exit 1
find . -printf '%p\t%y\t%m\t%s\t%T@\n' | LC_ALL=C sort | while IFS=$'\t' read -r path type mode size mtime; do
    sum=-
    [ "$type" = f ] && sum=$(sha256sum <"$path" | cut -d' ' -f1)
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$path" "$type" "$mode" "$size" "$mtime" "$sum"
done
