#!/bin/sh
# tls_notice_site.sh FOLDER PORT: a certificate authority of the test's own
# (FOLDER/ca.pem), a certificate for 127.0.0.1 signed by it, and openssl's
# test server serving FOLDER/site over TLS with that certificate on
# 127.0.0.1:PORT, for one connection. It prints "ACCEPT" once it listens.
set -eu
cd "$1"
openssl req -x509 -newkey ed25519 -nodes -keyout ca.key -out ca.pem -subj "/CN=Velmora test CA" -days 1 2>/dev/null
openssl req -newkey ed25519 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.0.1" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1\n' >server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 1 -extfile server.ext \
  -out server.pem 2>/dev/null
cd site
exec openssl s_server -accept "127.0.0.1:$2" -cert ../server.pem -key ../server.key -WWW -naccept 1
