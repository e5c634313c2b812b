# Set-up shared by the benchmark scripts (bench/run, bench/listing): checks, the test environment, vsftpd, clean-up.
#
# Sourced after the script has set:
#   src         the source tree
#   tree        the 64-bit build tree
#   bench_name  the script's name, for messages ("bench/run")
# The functions below set and use: work (the temporary directory; the
# server's root is $work/root, made by the script), address (vsftpd's
# 127.0.0.N), vsftpd_pid, wineserver_pid, environment_was_up. A script
# that wants TLS too sets vsftpd_certificate (below) before start_vsftpd.
# The variables come from and go to the sourcing script:
# shellcheck shell=bash disable=SC2154,SC2034

bench_require_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "$bench_name: run as root (vsftpd binds port 21 and changes root into its directory)" >&2
    exit 2
  fi
}

# bench_check_tree HOST_EXE: makes tree absolute and checks that the host,
# the control, vsftpd, curl and vsftpd's user are there.
bench_check_tree() {
  tree=$(cd "$tree" && pwd)
  local needed
  for needed in "$tree/$1" "$tree/control/WyFTP.ocx" /usr/sbin/vsftpd /usr/bin/curl; do
    if [ ! -e "$needed" ]; then
      echo "$bench_name: $needed is missing (tools/build builds it; tools/setup-machine installs vsftpd and curl)" >&2
      exit 1
    fi
  done
  if ! getent passwd ftp >/dev/null; then
    echo "$bench_name: the user 'ftp' (made by Debian's vsftpd package) is missing" >&2
    exit 1
  fi
}

# Wine's WinInet leaves a copy of every FTP download in the prefix's cache
# folders (never entered in the cache's index); the transfer host deletes
# them after each download, this removes whatever an interrupted run left.
clean_url_cache() {
  local folder
  for folder in "$tree"/wineprefix/drive_c/users/*/AppData/Local/Microsoft/Windows/INetCache/*/*/; do
    if [ -d "$folder" ]; then find "$folder" -maxdepth 1 -type f -delete; fi
  done
}

stop_vsftpd() {
  if [ -n "$vsftpd_pid" ]; then
    # vsftpd and the session processes it forked: the process group it leads.
    kill -TERM -- "-$vsftpd_pid" 2>/dev/null || true
    wait "$vsftpd_pid" 2>/dev/null || true
    vsftpd_pid=
  fi
}

bench_cleanup() {
  stop_vsftpd
  clean_url_cache
  rm -rf "$work"
  if [ "$environment_was_up" -eq 0 ]; then
    "$src/tools/testenv" down "$tree" >/dev/null 2>&1 || true
  fi
}

# Makes the temporary directory and arranges for everything to be undone on
# exit, whichever way the script ends.
bench_begin() {
  export LC_ALL=ja_JP.UTF-8
  work=$(mktemp -d /tmp/wyftp-bench.XXXXXX)
  vsftpd_pid=
  environment_was_up=0
  if [ -f "$tree/testenv/xvfb.pid" ] && kill -0 "$(cat "$tree/testenv/xvfb.pid")" 2>/dev/null; then
    environment_was_up=1
  fi
  trap bench_cleanup EXIT
  trap 'exit 130' INT TERM
}

# Anonymous login into $work/root (which must not be writable by the
# anonymous user: vsftpd refuses to serve from one that is), uploads
# allowed where the directories let the user 'ftp' write, active and
# passive mode.
write_vsftpd_conf() {
  cat >"$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=$1
listen_port=21
background=NO
anonymous_enable=YES
no_anon_password=YES
anon_root=$work/root
local_enable=NO
write_enable=YES
anon_upload_enable=YES
anon_other_write_enable=YES
anon_umask=022
secure_chroot_dir=$work/empty
seccomp_sandbox=NO
xferlog_enable=NO
dirmessage_enable=NO
connect_from_port_20=NO
port_enable=YES
pasv_enable=YES
use_sendfile=YES
CONF
  if [ -n "${vsftpd_certificate:-}" ]; then
    # Explicit TLS (AUTH TLS) for whoever asks, anonymous users included,
    # while clear sessions stay allowed. Data connections need not resume
    # the control connection's TLS session: Wine's Schannel resumes none.
    cat >>"$work/vsftpd.conf" <<CONF
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=NO
force_anon_data_ssl=NO
require_ssl_reuse=NO
ssl_tlsv1=YES
ssl_sslv2=NO
ssl_sslv3=NO
ssl_ciphers=HIGH
rsa_cert_file=$vsftpd_certificate
rsa_private_key_file=$vsftpd_certificate
CONF
  fi
}

# A self-signed certificate for vsftpd (key and certificate in one PEM file,
# as vsftpd reads them), made fresh for the run; sets vsftpd_certificate and
# certificate_pin, its SHA-256 fingerprint as 64 upper-case hex digits.
make_vsftpd_certificate() {
  vsftpd_certificate=$work/tls/vsftpd.pem
  mkdir -p "$work/tls"
  chmod 700 "$work/tls"
  if ! openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/O=WyFTP bench/CN=wyftp-bench" \
    -keyout "$work/tls/key.pem" -out "$work/tls/certificate.pem" 2>"$work/tls/openssl.err"; then
    echo "$bench_name: openssl could not make a certificate: $(cat "$work/tls/openssl.err")" >&2
    exit 1
  fi
  cat "$work/tls/key.pem" "$work/tls/certificate.pem" >"$vsftpd_certificate"
  certificate_pin=$(openssl x509 -noout -fingerprint -sha256 -in "$work/tls/certificate.pem" | cut -d= -f2 | tr -d :)
  if ! [[ $certificate_pin =~ ^[0-9A-F]{64}$ ]]; then
    echo "$bench_name: unexpected fingerprint from openssl: $certificate_pin" >&2
    exit 1
  fi
}

# vsftpd on port 21 of a loopback address nobody listens on, from the top
# of the range down (the test fixture hands out addresses from the bottom);
# sets address.
start_vsftpd() {
  # The anonymous user passes through $work into its root.
  mkdir -p "$work/empty"
  chmod 755 "$work" "$work/empty"
  local listening_on_21 n candidate
  listening_on_21=$(ss -Hltn 'sport = :21' | awk '{print $4}')
  address=
  for n in $(seq 250 -1 2); do
    candidate=127.0.0.$n
    if grep -qx "$candidate:21" <<<"$listening_on_21"; then continue; fi
    write_vsftpd_conf "$candidate"
    setsid /usr/sbin/vsftpd "$work/vsftpd.conf" </dev/null >"$work/vsftpd.log" 2>&1 &
    vsftpd_pid=$!
    for _ in $(seq 1 50); do
      kill -0 "$vsftpd_pid" 2>/dev/null || break
      if ss -Hltnp "src $candidate:21" | grep -q "pid=$vsftpd_pid,"; then address=$candidate; break; fi
      sleep 0.1
    done
    [ -n "$address" ] && break
    stop_vsftpd
  done
  if [ -z "$address" ]; then
    echo "$bench_name: vsftpd could not listen on any 127.0.0.N:21" >&2
    cat "$work/vsftpd.log" >&2
    exit 1
  fi
}

# The build tree's test environment (Xvfb, Wine prefix, wineserver), the
# control registered in its prefix; sets wineserver_pid to the prefix's
# wineserver, whose CPU time the hosts report beside their own.
bench_environment_up() {
  "$src/tools/testenv" up "$tree" >/dev/null
  "$src/tools/wine-run" "$tree" regsvr32 /s "$tree/control/WyFTP.ocx"
  clean_url_cache
  wineserver_pid=
  local pid
  for pid in $(pgrep -x wineserver64 || true) $(pgrep -x wineserver || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$tree/wineprefix"; then
      wineserver_pid=$pid
      break
    fi
  done
}

# The machine and the versions of the tools, for the top of the output.
bench_print_machine() {
  echo "== $(date -u '+%Y-%m-%d %H:%M:%S UTC'), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"
  # vsftpd -v writes its version to standard input.
  echo "== $(wine --version 2>/dev/null), $(/usr/sbin/vsftpd -v 0>&1 | head -1)," \
    "$(curl --version | head -1 | cut -d' ' -f1-2)"
}
