#!/usr/bin/env bash
# Runs the scaling guide's GNU parallel recipe across machines against a
# private SSH server on the loopback address: "render1" and "render2" are
# two names for 127.0.0.1, with quillmere-batch of the build on their PATH.
# Not part of the tests: it starts a server and needs openssh-server.
#   scripts/try_sshlogin.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
program_dir=$build/src/cli
[[ -x $program_dir/quillmere-batch ]] || { echo "build first (scripts/build.sh release)" >&2; exit 1; }

for package in openssh-server openssh-client parallel; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        sudo=()
        [[ $(id -u) -eq 0 ]] || sudo=(sudo)
        "${sudo[@]}" apt-get install -y --no-install-recommends "$package" >/dev/null
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sshlogin.XXXXXX")
server=""
cleanup() {
    [[ -z $server ]] || kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
port=$((20000 + RANDOM % 20000))

# The server: its own host key, one authorised key, the loopback address.
ssh-keygen -q -t ed25519 -N '' -f "$work/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$work/user_key"
cp "$work/user_key.pub" "$work/authorized_keys"
chmod 600 "$work/authorized_keys"
cat >"$work/sshd_config" <<CONFIG
ListenAddress 127.0.0.1
Port $port
HostKey $work/host_key
AuthorizedKeysFile $work/authorized_keys
PasswordAuthentication no
KbdInteractiveAuthentication no
StrictModes no
UsePAM no
PidFile $work/sshd.pid
SetEnv PATH=$program_dir:/usr/local/bin:/usr/bin:/bin
CONFIG
mkdir -p /run/sshd
"$(command -v sshd || echo /usr/sbin/sshd)" -D -e -f "$work/sshd_config" 2>"$work/sshd.log" &
server=$!

cat >"$work/ssh_config" <<CONFIG
Host render1 render2
    HostName 127.0.0.1
    Port $port
    User $(id -un)
    IdentityFile $work/user_key
    IdentitiesOnly yes
    StrictHostKeyChecking no
    UserKnownHostsFile /dev/null
    LogLevel ERROR
CONFIG
for ((i = 0; i < 50; ++i)); do
    ssh -F "$work/ssh_config" render1 true 2>/dev/null && break
    sleep 0.1
done
ssh -F "$work/ssh_config" render1 true

# The shared folder: 300 small PNGs, made from a 2 x 1 bitmap.
shared=$work/shared/pictures
mkdir -p "$shared/photos/sub"
"$root/tests/packaging/write_small_bitmap.sh" "$work/seed.bmp"
for ((i = 0; i < 300; ++i)); do
    folder=photos
    ((i % 3 == 0)) && folder=photos/sub
    cp "$work/seed.bmp" "$shared/$folder/p$i.bmp"
done
(cd "$shared" && PATH=$program_dir:$PATH quillmere-batch --to PNG --search 'photos/*.bmp' \
    --recursive >/dev/null && find photos -name '*.bmp' -delete)

# The recipe as the guide has it, with the shared folder put in place.
awk '$0 == "<!-- recipe: sshlogin -->" { found = 1; next }
     found && /^```/ { if (inside) exit; inside = 1; next }
     inside { print }' "$root/docs/scaling.md" |
    sed "s#/shared/pictures#$shared#" >"$work/recipe.sh"
echo "== The recipe"
cat "$work/recipe.sh"
echo "== What it printed"
export PARALLEL_SSH="ssh -F $work/ssh_config"
export PATH=$program_dir:$PATH
set +e
bash -e "$work/recipe.sh" >"$work/out" 2>"$work/err"
status=$?
set -e
sort "$work/out" | uniq -c | sort -rn | head -n 5
echo "... $(grep -c '\.jpg$' "$work/out") target lines, $(grep -c '^finished!$' "$work/out") shards finished"
cat "$work/err"
echo "== Checks"
echo "GNU parallel's exit status: $status"
jpgs=$(find "$shared/photos" -name '*.jpg' | wc -l)
echo "JPEG files written: $jpgs of 300"
echo "temporary files left: $(find "$shared" -name '*.tmp' | wc -l)"
echo "connections the server took: $(grep -c 'Accepted publickey' "$work/sshd.log")"
[[ $status -eq 0 && $jpgs -eq 300 ]]
