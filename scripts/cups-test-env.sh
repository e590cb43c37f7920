#!/usr/bin/env bash
# Gives the print tests a real default printer: starts the CUPS scheduler if it
# is not running (there is no service manager in CI), and sets up a PDF queue
# "VarnelPDF" as the default printer. Each job becomes a PDF file under
# /var/spool/cups-pdf/<user>/, the folder this prints last.
# The print tests' fixture (print_queue) runs it before them. It needs root only
# for what is not done yet, so on a machine already set up it needs none.
set -euo pipefail

queue=VarnelPDF
out_root=/var/spool/cups-pdf

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null; then
    echo "cups-test-env: CUPS is not installed (run scripts/setup.sh)" >&2
    exit 1
fi

# One folder per user, so that a test can find its jobs without a home folder.
conf=/etc/cups/cups-pdf.conf
if [ -f "$conf" ] && ! grep -q "^Out ${out_root}/\${USER}\$" "$conf"; then
    as_root sed -i "s|^#\?Out .*|Out ${out_root}/\${USER}|" "$conf"
fi

scheduler_running() {
    lpstat -r 2>/dev/null | grep -q 'is running'
}

if ! scheduler_running; then
    as_root mkdir -p /run/cups
    as_root cupsd
    for _ in $(seq 1 100); do
        scheduler_running && break
        sleep 0.1
    done
    if ! scheduler_running; then
        echo "cups-test-env: the CUPS scheduler did not start" >&2
        exit 1
    fi
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
    ppd=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ {print $1; exit}')
    if [ -z "$ppd" ]; then
        echo "cups-test-env: no CUPS-PDF driver found (printer-driver-cups-pdf)" >&2
        exit 1
    fi
    as_root lpadmin -p "$queue" -E -v cups-pdf:/ -m "$ppd"
fi
if lpstat -p "$queue" 2>/dev/null | grep -q disabled; then
    as_root cupsenable "$queue"
fi
if lpstat -a "$queue" 2>/dev/null | grep -q 'not accepting'; then
    as_root cupsaccept "$queue"
fi
if [ "$(lpstat -d 2>/dev/null | awk -F': ' '{print $2}')" != "$queue" ]; then
    as_root lpadmin -d "$queue"
fi

echo "${out_root}/${USER:-$(id -un)}"
