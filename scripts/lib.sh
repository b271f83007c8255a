# Shared by scripts/run and scripts/test: packages, build, and a private MariaDB server.

PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6sql6-mysql libgl-dev
mariadb-server mariadb-client libmariadb-dev libzip-dev libpugixml-dev libcsv-dev libreoffice-calc-nogui xvfb xauth fonts-dejavu-core python3 poppler-utils"

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

# update_schema CLIENT... DATABASE: brings an existing database up to date with the
# schema (new tables, triggers) and its upgrades; run again, it changes nothing.
update_schema() {
  local db=${*: -1} client=("${@:1:$#-1}")
  "${client[@]}" "$db" <"$ROOT/db/schema.sql" && "${client[@]}" "$db" <"$ROOT/db/upgrade.sql"
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

# start_cluster DIR: a three-node Galera cluster on loopback, data under DIR; sets
# CLUSTER_PORTS (the nodes' client ports, comma-separated) and CLUSTER_PIDS. The nodes run
# as an unprivileged user, since the rsync state transfer refuses to write as root.
CLUSTER_USER=veldra-cluster
start_cluster() {
  local dir=$1 provider= candidate
  for candidate in /usr/lib/galera/libgalera_smm.so /usr/lib/*/galera*/libgalera_smm.so; do
    [ -e "$candidate" ] && { provider=$candidate; break; }
  done
  [ -n "$provider" ] || { echo "No Galera provider (package galera-4) found." >&2; return 1; }
  local run_as=()
  if [ "$(id -u)" = 0 ]; then
    id "$CLUSTER_USER" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$CLUSTER_USER"
    run_as=(runuser -u "$CLUSTER_USER" --)
  fi
  mkdir -p "$dir"
  # The nodes' user must reach its folders through the temporary folder above them.
  chmod 755 "$dir" "$(dirname "$dir")"
  local ports=() gports=() i
  for i in 1 2 3; do ports+=("$(free_port)"); gports+=("$(free_port)"); done
  local address="gcomm://127.0.0.1:${gports[0]},127.0.0.1:${gports[1]},127.0.0.1:${gports[2]}"
  CLUSTER_PIDS=()
  CLUSTER_WRAPPERS=()
  for i in 0 1 2; do
    local node="$dir/node$((i + 1))"
    mkdir -p "$node"
    [ "$(id -u)" = 0 ] && chown "$CLUSTER_USER" "$node"
    "${run_as[@]}" mariadb-install-db --no-defaults --datadir="$node/db" \
      --auth-root-authentication-method=normal >"$node/install.log" 2>&1 || { cat "$node/install.log"; return 1; }
    local ist sst new=()
    ist=$(free_port); sst=$(free_port)
    [ $i = 0 ] && new=(--wsrep-new-cluster)
    "${run_as[@]}" mariadbd --no-defaults --datadir="$node/db" --port="${ports[$i]}" --bind-address=127.0.0.1 \
      --socket="$node/mysqld.sock" --pid-file="$node/mysqld.pid" --tmpdir="$node" \
      --innodb-buffer-pool-size=128M --innodb-flush-log-at-trx-commit=2 \
      --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_520_ci \
      --binlog-format=ROW --default-storage-engine=InnoDB --innodb-autoinc-lock-mode=2 \
      --wsrep-on=ON --wsrep-provider="$provider" --wsrep-cluster-address="$address" \
      --wsrep-cluster-name=veldra-test --wsrep-node-address="127.0.0.1:${gports[$i]}" \
      --wsrep-provider-options="gmcast.listen_addr=tcp://127.0.0.1:${gports[$i]};ist.recv_addr=127.0.0.1:$ist" \
      --wsrep-sst-method=rsync --wsrep-sst-receive-address="127.0.0.1:$sst" "${new[@]}" \
      >"$node/server.log" 2>&1 &
    CLUSTER_PIDS+=($!)
    CLUSTER_WRAPPERS+=($!)
    # Each node joins once the one before it is synced, so state transfers run one at a time.
    local ok=0
    for _ in $(seq 1 300); do
      if [ "$(mariadb --no-defaults -h 127.0.0.1 -P "${ports[$i]}" -u root -N -e \
             "SHOW STATUS LIKE 'wsrep_ready'" 2>/dev/null | cut -f2)" = ON ]; then ok=1; break; fi
      kill -0 "${CLUSTER_PIDS[$i]}" 2>/dev/null || break
      sleep 0.2
    done
    [ $ok = 1 ] || { echo "Cluster node $((i + 1)) did not start:" >&2; tail -30 "$node/server.log" >&2; return 1; }
    # The server's own process, not the runuser wrapper around it.
    CLUSTER_PIDS[$i]=$(cat "$node/mysqld.pid")
  done
  CLUSTER_PORTS=$(IFS=,; echo "${ports[*]}")
}

stop_cluster() {
  local pid
  for pid in "${CLUSTER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  # runuser stops itself when a test freezes its server, and stays stopped after the server
  # is thawed; continued, it reaps the server and ends instead of staying behind.
  for pid in "${CLUSTER_WRAPPERS[@]}"; do kill -CONT "$pid" 2>/dev/null || true; done
  for pid in "${CLUSTER_PIDS[@]}" "${CLUSTER_WRAPPERS[@]}"; do wait "$pid" 2>/dev/null || true; done
}
