#!/usr/bin/env bash
# Prints the search list on a real CUPS queue: a private cupsd (its own socket and folders, so no system
# printer is touched) with a cups-pdf queue as the default printer, then TestStampaCups checks the PDF.
# Exits 77 (skipped) where cups, cups-pdf or poppler are missing, where not root, or where cupsd cannot start.
set -u
test_program=$1
skip() { echo "SKIP: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "cups-pdf writes its files only for root here"
for tool in cupsd lpadmin pdfinfo pdftotext; do
    command -v "$tool" >/dev/null || skip "$tool missing"
done
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] && [ -x /usr/lib/cups/backend/cups-pdf ] || skip "printer-driver-cups-pdf missing"

root=$(mktemp -d /tmp/carnetto-cups.XXXXXX)
chmod 755 "$root"
mkdir -p "$root"/{spool,cache,state,log,tmp}
chmod 1777 "$root"/tmp
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT

cat >"$root/cupsd.conf" <<CONF
Listen $root/cups.sock
LogLevel warn
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$root/cups-files.conf" <<CONF
ServerRoot $root
RequestRoot $root/spool
CacheDir $root/cache
StateDir $root/state
TempDir $root/tmp
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User lp
Group lp
SystemGroup root lpadmin
CONF

cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" &
pid=$!
export CUPS_SERVER=$root/cups.sock
for _ in $(seq 50); do
    [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
    sleep 0.2
done
lpstat -r >/dev/null 2>&1 || { cat "$root/log/error_log" 2>/dev/null; skip "cupsd did not start"; }

# pdftocairo keeps the text of the page as text, so pdftotext can read the lines back.
lpadmin -p CarnettoPDF -E -v cups-pdf:/ -P "$ppd" -o pdftops-renderer-default=pdftocairo 2>/dev/null ||
    skip "the PDF queue could not be made"
lpadmin -d CarnettoPDF || skip "the PDF queue could not be made the default"

# cups-pdf writes into the PDF folder of the job's owner.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
mkdir -p "$home/PDF"
CARNETTO_PDF_DIR="$home/PDF" QT_QPA_PLATFORM=offscreen "$test_program"
status=$?
[ $status -ne 0 ] && cat "$root/log/error_log" 2>/dev/null
exit $status
