#!/usr/bin/env bash
# Prints the search list on a real CUPS queue: a private cupsd (its own socket and folders, so no system
# printer is touched) whose default printer is the CUPS-PDF model writing its PDF into a file, then
# TestStampaCups checks the PDF. The same for root and for an ordinary user: the cups-pdf backend would run only
# as root, so the PDF that CUPS's own filters make for the model goes to a file: device instead.
# Exits 77 (skipped) where cups, the CUPS-PDF model or poppler are missing, or where cupsd cannot start.
set -u
test_program=$1
skip() { echo "SKIP: $*"; exit 77; }

# cupsd and lpadmin live in /usr/sbin, which an ordinary user's PATH may leave out.
PATH=$PATH:/usr/sbin
for tool in cupsd lpadmin lpstat pdfinfo pdftotext; do
    command -v "$tool" >/dev/null || skip "$tool missing"
done
model=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$model" ] || skip "printer-driver-cups-pdf missing"

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
FileDevice Yes
CONF
# Run by root, cupsd runs the filters as lp; run by a user, as that user.
[ "$(id -u)" -eq 0 ] && printf 'User lp\nGroup lp\nSystemGroup root lpadmin\n' >>"$root/cups-files.conf"

cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" &
pid=$!
export CUPS_SERVER=$root/cups.sock
for _ in $(seq 50); do
    [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
    sleep 0.2
done
lpstat -r >/dev/null 2>&1 || { cat "$root/log/error_log" 2>/dev/null; skip "cupsd did not start"; }

# The CUPS-PDF model, taking PDF as its printer language: CUPS's pdftopdf lays the job out (orientation, colour)
# and the PDF lands in out/, text kept as text for pdftotext.
mkdir -p "$root/out"
chmod 1777 "$root/out"
{ cat "$model"; echo '*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"'; } >"$root/CarnettoPDF.ppd"
lpadmin -p CarnettoPDF -E -v "file://$root/out/stampa.pdf" -P "$root/CarnettoPDF.ppd" 2>/dev/null ||
    skip "the PDF queue could not be made"
lpadmin -d CarnettoPDF || skip "the PDF queue could not be made the default"

CARNETTO_PDF_DIR="$root/out" QT_QPA_PLATFORM=offscreen "$test_program"
status=$?
[ $status -ne 0 ] && cat "$root/log/error_log" 2>/dev/null
exit $status
