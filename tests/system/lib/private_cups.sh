# A private CUPS scheduler for tests: its own configuration, spool, state and
# log directories and its own local socket, all under one directory; nothing
# of the machine's print service is used or changed. The scheduler runs in
# the foreground as a child of the test and is stopped on exit.
#
# Source it, then:
#   cups_start DIR     starts the scheduler in DIR (a short path: the socket's
#                      name must fit in 108 bytes) and exports CUPS_SERVER
#                      for lp, lpadmin and lpstat; fails when it does not
#                      answer within 20 seconds
#   cups_add_file_queue NAME FILE [TYPE]
#                      a queue whose device is the file FILE: every job's
#                      document of TYPE (application/pdf, or
#                      application/postscript as wine's printer driver
#                      writes it) arrives there byte for byte (its one
#                      filter passes the document through)
#   cups_wait_idle NAME
#                      until the queue has no job left to print
#   cups_stop          stops the scheduler and waits for it
#   $CUPS_LOG          the scheduler's log
# Each helper prints what went wrong and returns non-zero on failure.

CUPSD_PID=""

cups_start() {
  local dir=$1
  mkdir -p "$dir"/{spool,cache,state,tmp,bin/daemon,bin/filter,bin/backend}
  # The filter runs as the scheduler's user (lp): it must reach its file.
  chmod 755 "$dir" "$dir/bin" "$dir/bin/filter"
  chmod o+x "$(dirname "$dir")"
  CUPS_LOG="$dir/cupsd.log"
  # The scheduler starts each filter through its helper program, which it
  # looks for under its ServerBin; the filter directory is the test's own.
  ln -sf /usr/lib/cups/daemon/cups-exec "$dir/bin/daemon/cups-exec"
  printf '#!/bin/sh\n# Passes the document through: argument 6 is its file.\nexec cat "${6:--}"\n' \
    > "$dir/bin/filter/zulpass"
  chmod 755 "$dir/bin/filter/zulpass"
  cat > "$dir/cups-files.conf" <<CONF
FileDevice Yes
ServerRoot $dir
ServerBin $dir/bin
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
Printcap $dir/printcap
ErrorLog stderr
AccessLog $dir/access_log
PageLog $dir/page_log
CONF
  cat > "$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel info
WebInterface No
Browsing No
DefaultAuthType None
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$CUPS_LOG" 2>&1 &
  CUPSD_PID=$!
  export CUPS_SERVER="$dir/cups.sock"
  local deadline=$((SECONDS + 20))
  until lpstat -r 2>/dev/null | grep -q "scheduler is running"; do
    if ! kill -0 "$CUPSD_PID" 2>/dev/null; then
      echo "the private CUPS scheduler ended at start; its log:" >&2
      cat "$CUPS_LOG" >&2
      CUPSD_PID=""
      return 1
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "the private CUPS scheduler does not answer on $CUPS_SERVER; its log:" >&2
      cat "$CUPS_LOG" >&2
      return 1
    fi
    sleep 0.1
  done
}

cups_add_file_queue() {
  local name=$1 file=$2 type=${3:-application/pdf} ppd
  ppd="$(dirname "$CUPS_SERVER")/$name.ppd"
  cat > "$ppd" <<PPD
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "ZULPASS.PPD"
*Manufacturer: "Test"
*Product: "(PDF file)"
*ModelName: "PDF file"
*ShortNickName: "PDF file"
*NickName: "PDF file"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "$type application/vnd.cups-${type#application/} 0 zulpass"
*OpenUI *PageSize: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*DefaultImageableArea: A4
*ImageableArea A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4: "595 842"
PPD
  # lpadmin warns that printer drivers are deprecated; the queue works.
  lpadmin -p "$name" -E -v "file://$file" -P "$ppd" 2>/dev/null || {
    echo "lpadmin could not add the queue $name; the scheduler's log:" >&2
    cat "$CUPS_LOG" >&2
    return 1
  }
}

cups_wait_idle() {
  local name=$1 deadline=$((SECONDS + 30))
  while [ -n "$(lpstat -o "$name" 2>/dev/null)" ]; do
    if [ $SECONDS -ge $deadline ]; then
      echo "the queue $name still holds jobs after 30 seconds:" >&2
      lpstat -l -o "$name" >&2
      cat "$CUPS_LOG" >&2
      return 1
    fi
    sleep 0.1
  done
}

cups_stop() {
  [ -n "$CUPSD_PID" ] || return 0
  kill "$CUPSD_PID" 2>/dev/null
  wait "$CUPSD_PID" 2>/dev/null
  CUPSD_PID=""
}
