#!/usr/bin/env bash
# Test fixture for https downloads: makes a test authority and server certificates with openssl,
# trusts the authority in the Wine prefix, then starts the loopback TLS servers (tls-server.py)
# that serve with them; "stop" ends the servers and takes the authority out of the prefix again.
#
#   tls-fixture.sh start|stop <dir> <wine> <trust_test_authority.exe>
# After start, <dir>/ports names each server's port.
set -euo pipefail
action=$1
dir=$2
wine=$3
trust=$4
here=$(cd "$(dirname "$0")" && pwd)

stop() {
  if [ -f "$dir/server.pid" ]; then
    kill "$(cat "$dir/server.pid")" 2>/dev/null || true
    rm -f "$dir/server.pid"
  fi
  if [ -f "$dir/ca.der" ]; then
    "$wine" "$trust" remove "Z:$dir/ca.der" </dev/null || true
  fi
}

# A certificate for `name` signed by the test authority, valid from $1 to $2, for the names in SAN.
sign() {
  local name=$1 from=$2 to=$3
  openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=$CN" \
    -keyout "$dir/$name.key" -out "$dir/$name.csr" 2>/dev/null
  SAN=$SAN openssl ca -batch -config "$dir/ca.cnf" -extensions leaf -notext -startdate "$from" \
    -enddate "$to" -in "$dir/$name.csr" -out "$dir/$name.pem" 2>/dev/null
}

if [ "$action" = stop ]; then
  stop
  exit 0
fi

stop
rm -rf "$dir"
mkdir -p "$dir/issued"
: >"$dir/index.txt"
echo 01 >"$dir/serial"
# A name nobody else uses: the authority is trusted in a Wine prefix that other tests share.
tag="Quillet Test Authority $(date +%s)-$$-$RANDOM"
echo "$tag" >"$dir/tag"
cat >"$dir/ca.cnf" <<CONF
[ca]
default_ca = test
[test]
certificate = $dir/ca.pem
private_key = $dir/ca.key
database = $dir/index.txt
new_certs_dir = $dir/issued
serial = $dir/serial
default_md = sha256
policy = any
unique_subject = no
[any]
commonName = supplied
[leaf]
basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = \${ENV::SAN}
CONF

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 -subj "/CN=$tag" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
openssl x509 -in "$dir/ca.pem" -outform DER -out "$dir/ca.der"
"$wine" "$trust" add "Z:$dir/ca.der" </dev/null

now=$(date -u +%Y%m%d%H%M%SZ)
later=$(date -u -d '+30 days' +%Y%m%d%H%M%SZ)
CN=localhost SAN="DNS:localhost" sign trusted "$now" "$later"
CN=localhost SAN="DNS:localhost" sign expired 20200101000000Z 20210101000000Z
CN=wrong.invalid SAN="DNS:wrong.invalid" sign wrongname "$now" "$later"
# Right name and dates, but signed by itself: an authority nobody trusts.
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 -subj "/CN=localhost" \
  -addext "subjectAltName=DNS:localhost" -keyout "$dir/selfsigned.key" -out "$dir/selfsigned.pem" 2>/dev/null

setsid python3 "$here/tls-server.py" "$dir" >"$dir/server.log" 2>&1 </dev/null &
echo $! >"$dir/server.pid"
for _ in $(seq 1 100); do
  [ -s "$dir/ports" ] && exit 0
  kill -0 "$(cat "$dir/server.pid")" 2>/dev/null || break
  sleep 0.1
done
echo "the TLS servers did not start:" >&2
cat "$dir/server.log" >&2
stop
exit 1
