#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a built tree into a staging folder and into a Debian package, then checks what a
# user gets: every file in its place and nothing else, the desktop entry and metainfo as the
# validators see them, one application id throughout, manual pages that render and cover
# every option, the udev rule, and programs that start.
#
# Usage: check-install.sh BUILD_DIR, with CMAKE, CPACK, TAVERO_VERSION, TAVERO_USB_VENDOR_ID,
# TAVERO_USB_PRODUCT_ID, BINDIR, DATADIR, MANDIR and UDEV_RULES_DIR in the environment.
set -euo pipefail

build=${1:?build folder}
app_id=de.tavero.Tavero
programs=(tavero tavero-ctl tavero-sim)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expected_files() {
    local program
    for program in "${programs[@]}"; do
        echo "$BINDIR/$program"
        echo "$MANDIR/man1/$program.1.gz"
    done
    echo "$DATADIR/applications/$app_id.desktop"
    echo "$DATADIR/metainfo/$app_id.metainfo.xml"
    echo "$DATADIR/tavero/translations/tavero_en.qm"
    echo "$DATADIR/icons/hicolor/scalable/apps/$app_id.svg"
    echo "$DATADIR/icons/hicolor/48x48/apps/$app_id.png"
    echo "$UDEV_RULES_DIR/60-tavero.rules"
    echo "$DATADIR/doc/tavero/changelog.gz"
    echo "$DATADIR/doc/tavero/copyright"
}

# Compares a file list (standard input) with the expected one under a prefix. Fed by process
# substitution rather than a pipe, so that its failures are counted in this shell.
check_file_list() {
    local what=$1 prefix=$2 listed
    listed=$(sort)
    if ! diff -u <(expected_files | sed "s|^|$prefix|" | sort) - <<<"$listed" >"$work/diff"; then
        fail "$what lists other files than expected (- missing, + unexpected):"
        cat "$work/diff" >&2
    fi
}

if ! "$CMAKE" --install "$build" --prefix "$stage" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    fail "cmake --install failed"
    exit 1
fi
check_file_list "the staging folder" "" \
    < <(cd "$stage" && find . -type f -o -type l | sed 's|^\./||')

desktop=$stage/$DATADIR/applications/$app_id.desktop
metainfo=$stage/$DATADIR/metainfo/$app_id.metainfo.xml

desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli refuses $metainfo"; }

# The desktop entry, the metainfo and the icon theme find each other by these names only.
desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
metainfo_value() { xmllint --xpath "string($1)" "$metainfo"; }
launchable=$(metainfo_value "/component/launchable[@type='desktop-id']") || true
[[ $(desktop_key Icon) == "$app_id" ]] || fail "desktop entry's Icon is '$(desktop_key Icon)'"
[[ -x $stage/$BINDIR/$(desktop_key Exec) ]] ||
    fail "desktop entry's Exec '$(desktop_key Exec)' is not installed"
[[ $(metainfo_value /component/id) == "$app_id" ]] ||
    fail "metainfo id is '$(metainfo_value /component/id)'"
[[ $launchable == "$app_id.desktop" ]] || fail "metainfo launches '$launchable'"
newest_release=$(metainfo_value "/component/releases/release[1]/@version") || true
[[ $newest_release == "$TAVERO_VERSION" ]] ||
    fail "metainfo's newest release is '$newest_release', the program is $TAVERO_VERSION"
modalias="usb:v${TAVERO_USB_VENDOR_ID^^}p${TAVERO_USB_PRODUCT_ID^^}d*"
[[ $(metainfo_value /component/provides/modalias) == "$modalias" ]] ||
    fail "metainfo provides '$(metainfo_value /component/provides/modalias)', not $modalias"

png_type=$(file -b "$stage/$DATADIR/icons/hicolor/48x48/apps/$app_id.png") || true
[[ $png_type == "PNG image data, 48 x 48,"* ]] || fail "the 48x48 icon is '$png_type'"

for program in "${programs[@]}"; do
    page=$stage/$MANDIR/man1/$program.1.gz
    if ! gzip -dc "$page" >"$work/$program.1"; then
        fail "$page is no gzip file"
        continue
    fi
    groff -man -ww -z "$work/$program.1" 2>"$work/groff.log" || true
    if [[ -s $work/groff.log ]] || grep -q '@[A-Z_]*@' "$work/$program.1"; then
        cat "$work/groff.log" >&2
        fail "the manual page of $program has warnings or unset names"
    fi

    version=$("$stage/$BINDIR/$program" --version) || fail "installed $program --version failed"
    [[ $version == "$program $TAVERO_VERSION" ]] ||
        fail "installed $program --version says '$version'"

    # A new option must not be missing from the manual page.
    for option in $("$stage/$BINDIR/$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        grep -qF -- "${option//-/\\-}" "$work/$program.1" ||
            fail "the manual page of $program does not mention $option"
    done
done

rule=$stage/$UDEV_RULES_DIR/60-tavero.rules
ids="ATTRS{idVendor}==\"$TAVERO_USB_VENDOR_ID\", ATTRS{idProduct}==\"$TAVERO_USB_PRODUCT_ID\""
grep -qF "$ids" "$rule" ||
    fail "the udev rule does not match $TAVERO_USB_VENDOR_ID:$TAVERO_USB_PRODUCT_ID"
if ! command -v udevadm >/dev/null; then
    echo "SKIP: udevadm is not installed; the udev rule's syntax was not checked"
elif ! udevadm verify --help >/dev/null 2>&1; then
    echo "SKIP: this udevadm has no 'verify' (systemd before 253);" \
        "the udev rule's syntax was not checked"
else
    udevadm verify "$rule" || fail "udevadm verify refuses $rule"
fi

if ! "$CPACK" -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1
then
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB failed"
    exit 1
fi
deb=$(find "$work/deb" -maxdepth 1 -name '*.deb')
check_file_list "the package" "usr/" \
    < <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||')
depends=$(dpkg-deb --field "$deb" Depends) || true
[[ $depends == *libc6* && $depends == *libqt6widgets6* ]] ||
    fail "the package's dependencies were not found by dpkg-shlibdeps: '$depends'"
[[ $(dpkg-deb --field "$deb" Version) == "$TAVERO_VERSION" ]] ||
    fail "the package's version is not $TAVERO_VERSION"
[[ $(dpkg-deb --field "$deb" Maintainer) == *@* ]] || fail "the package names no maintainer"
[[ $(dpkg-deb --field "$deb" Description | wc -l) -gt 2 ]] || fail "the package has no description"
# Debian's own policy checks: its warnings are ours to weigh, its errors are not.
lintian --allow-root --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log" >&2; fail "lintian reports errors in the package"; }

if ((failures > 0)); then
    echo "$failures packaging check(s) failed" >&2
    exit 1
fi
echo "packaging checks passed"
