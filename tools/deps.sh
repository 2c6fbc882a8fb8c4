#!/bin/sh
# Installs the Debian packages the build needs, when they are missing.
#   tools/deps.sh run    what building and running the program needs (Qt's
#                        SQLite driver keeps the history)
#   tools/deps.sh deb    that, plus dpkg-shlibdeps for the Debian package
#   tools/deps.sh test   that, plus what the tests need (clang and its
#                        sanitizer and fuzzer runtime, QStat, desktop-file-validate,
#                        appstreamcli and groff for the package's metadata and
#                        manual page, node and npm, D-Bus and gnome-keyring for
#                        the secret store and the notification test, the
#                        fonts of a usual desktop)
set -eu

# qtkeychain-qt6-dev and libsecret-1-0: the console remembers passwords in the
# desktop's Secret Service (QtKeychain loads libsecret when it runs).
# qt6-httpserver-dev: the test server answers the Steam Web API's server list
# (qt6-websockets-dev: its CMake package needs it, and Debian's does not pull it in).
packages="cmake g++ make pkg-config qt6-base-dev libqt6sql6-sqlite libjpeg62-turbo-dev fonts-dejavu-core qtkeychain-qt6-dev libsecret-1-0 qt6-httpserver-dev qt6-websockets-dev"
case "${1:-run}" in
    deb | test) packages="$packages dpkg-dev" ;;
esac
if [ "${1:-run}" = test ]; then
    packages="$packages clang libclang-rt-14-dev qstat desktop-file-utils appstream groff-base"
    # A Secret Service of the tests' own: a session bus and gnome-keyring on it,
    # and secret-tool to look into it from outside.
    packages="$packages dbus-daemon gnome-keyring libsecret-tools"
    # The fonts of a usual desktop (as a desktop or ImageMagick pulls them
    # in): the windows are tested with the fonts users have.
    packages="$packages fonts-noto-mono fonts-urw-base35"
    # node and npm install gamedig, the second client of the peer check;
    # any node that brings its own npm will do.
    command -v npm >/dev/null 2>&1 || packages="$packages nodejs npm"
fi

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing:$missing"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
