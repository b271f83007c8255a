# Shared by scripts/run and scripts/test: packages, build, and a private MariaDB server.

PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libqt6sql6-mysql libgl-dev
mariadb-server mariadb-client libmariadb-dev libzip-dev libpugixml-dev xvfb xauth fonts-dejavu-core python3"

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

PACKAGING_PACKAGES="dpkg-dev fakeroot lintian desktop-file-utils appstream librsvg2-bin xdotool"

install_packages_for_packaging() { PACKAGES=$PACKAGING_PACKAGES install_packages; }

install_packages() {
  local missing=()
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# build DIR TYPE [extra cmake args...]
build() {
  local dir=$1 type=$2; shift 2
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

# start_server DATADIR PORT: a private mariadbd on loopback; sets SERVER_PID.
start_server() {
  local data=$1 port=$2
  mkdir -p "$data"
  if [ ! -d "$data/db/mysql" ]; then
    mariadb-install-db --no-defaults --user="$(id -un)" --datadir="$data/db" \
      --auth-root-authentication-method=normal >"$data/install.log" 2>&1 || {
        cat "$data/install.log"; return 1; }
  fi
  local user_opt=()
  [ "$(id -u)" = 0 ] && user_opt=(--user=root)
  mariadbd --no-defaults "${user_opt[@]}" --datadir="$data/db" --port="$port" --bind-address=127.0.0.1 \
    --socket="$data/mysqld.sock" --pid-file="$data/mysqld.pid" --skip-log-bin \
    --innodb-buffer-pool-size=512M --innodb-flush-log-at-trx-commit=2 \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_520_ci \
    >"$data/server.log" 2>&1 &
  SERVER_PID=$!
  for _ in $(seq 1 100); do
    if mariadb --no-defaults -h 127.0.0.1 -P "$port" -u root -e 'SELECT 1' >/dev/null 2>&1; then
      return 0
    fi
    kill -0 "$SERVER_PID" 2>/dev/null || { cat "$data/server.log"; return 1; }
    sleep 0.2
  done
  echo "The database server did not start; see $data/server.log" >&2
  return 1
}

stop_server() {
  if [ -n "${SERVER_PID:-}" ] && kill -0 "$SERVER_PID" 2>/dev/null; then
    kill "$SERVER_PID"
    wait "$SERVER_PID" 2>/dev/null || true
  fi
}
