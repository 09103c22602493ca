# Shared steps of the end-to-end scenarios: a private X server with a window
# manager, a demo station, the real client, and keyboard input through XTEST
# as a keyboard-wedge scanner and an operator produce it.
# Sourced by the scenario scripts; every failing step prints what it waited
# for, saves a screenshot of the whole screen and ends the script.

set -euo pipefail

E2E_TIMEOUT="${E2E_TIMEOUT:-20}" # seconds for one awaited condition
E2E_SCREEN="${E2E_SCREEN:-1280x1024}"
E2E_PIDS=()                      # processes this run started, stopped in reverse order
E2E_CLIENT_PID=""

# e2e_init NAME OUTDIR: a fresh work folder OUTDIR/NAME for the station, logs and screenshots.
e2e_init()
{
  E2E_NAME="$1"
  E2E_DIR="$2/$1"
  rm -rf "$E2E_DIR"
  mkdir -p "$E2E_DIR"
  E2E_STEP="início"
  # Keep the user's desktop settings out of the window manager and the client.
  export XDG_CONFIG_HOME="$E2E_DIR/config" XDG_RUNTIME_DIR="$E2E_DIR/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  trap e2e_cleanup EXIT
}

e2e_cleanup()
{
  local i
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${E2E_PIDS[i]}" 2>/dev/null || true
    wait "${E2E_PIDS[i]}" 2>/dev/null || true
  done
}

e2e_step() { E2E_STEP="$1"; echo "-- $1"; }

e2e_screenshot()
{
  local file="$E2E_DIR/$1.png"
  if [ -n "${DISPLAY:-}" ] && import -window root "$file" 2>/dev/null; then
    echo "$file"
  fi
}

# e2e_fail MESSAGE: reports the step and what was awaited, with a screenshot, and ends the run.
e2e_fail()
{
  local shot
  echo "FALHA em '$E2E_STEP': $1" >&2
  shot="$(e2e_screenshot "falha")" && [ -n "$shot" ] && echo "Captura da tela: $shot" >&2
  if [ -n "${DISPLAY:-}" ]; then
    echo "Janelas visíveis:" >&2
    local w
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      echo "  $(xdotool getwindowname "$w" 2>/dev/null || true)" >&2
    done
  fi
  [ -f "$E2E_DIR/client.log" ] && { echo "Saída do cliente:" >&2; cat "$E2E_DIR/client.log" >&2; }
  exit 1
}

e2e_require()
{
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || e2e_fail "falta o programa '$tool' (rode scripts/setup)"
  done
}

# e2e_start_display: Xvfb on a free display number, then a window manager, as on a desktop.
e2e_start_display()
{
  e2e_step "servidor X"
  e2e_require Xvfb openbox xdotool xprop import sqlite3 xclip
  local displayfile="$E2E_DIR/display" i
  # -displayfd picks a free display and writes its number when the server is ready.
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN}x24" -nolisten tcp 3>"$displayfile" \
    >"$E2E_DIR/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
    [ -s "$displayfile" ] && break
    sleep 0.1
  done
  [ -s "$displayfile" ] || e2e_fail "o Xvfb não informou o número da tela ($E2E_DIR/xvfb.log)"
  export DISPLAY=":$(head -n1 "$displayfile")"

  openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
  E2E_PIDS+=($!)
  for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  e2e_fail "o gerenciador de janelas não iniciou ($E2E_DIR/openbox.log)"
}

# e2e_station ADMIN CLIENT OPERACAO: a fresh demo station, named in the client's connection file.
e2e_station()
{
  e2e_step "estação de demonstração ($3)"
  E2E_DB="$E2E_DIR/demo-$3.db"
  E2E_CODES="$E2E_DIR/demo-$3-codigos.txt"
  "$1" demo "$E2E_DB" --operacao "$3" >"$E2E_DIR/admin.log" 2>&1 ||
    e2e_fail "tressalin-admin demo falhou ($E2E_DIR/admin.log)"
  "$1" conexao set "$2" "$E2E_DB" >>"$E2E_DIR/admin.log" 2>&1 ||
    e2e_fail "tressalin-admin conexao set falhou ($E2E_DIR/admin.log)"
  [ -f "$E2E_CODES" ] || e2e_fail "a lista de códigos $E2E_CODES não foi escrita"
}

# e2e_sql SQL: runs a statement on the station file and prints the rows.
e2e_sql() { sqlite3 -batch -noheader -cmd '.timeout 5000' "$E2E_DB" "$1"; }

# e2e_wait_sql SQL EXPECTED: waits until the query answers EXPECTED.
e2e_wait_sql()
{
  local i got=""
  for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
    got="$(e2e_sql "$1" 2>/dev/null || true)"
    [ "$got" = "$2" ] && return 0
    sleep 0.1
  done
  e2e_fail "esperava '$2' de [$1], veio '$got'"
}

# e2e_wait_window REGEX: waits until a visible window's title matches; prints its id.
e2e_wait_window()
{
  local id
  id="$(timeout "$E2E_TIMEOUT" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null |
    head -n1)" || true
  [ -n "$id" ] || e2e_fail "nenhuma janela com o título /$1/ em ${E2E_TIMEOUT}s"
  echo "$id"
}

# e2e_wait_gone REGEX: waits until no visible window's title matches.
e2e_wait_gone()
{
  local i
  for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  e2e_fail "a janela /$1/ continua aberta após ${E2E_TIMEOUT}s"
}

# e2e_wait_active REGEX: waits until the window with the keyboard focus has a matching title,
# so the next keystrokes reach it.
e2e_wait_active()
{
  local i name=""
  for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
    name="$(xdotool getactivewindow getwindowname 2>/dev/null || true)"
    [[ "$name" =~ $1 ]] && return 0
    sleep 0.1
  done
  e2e_fail "a janela ativa devia ser /$1/, é '$name'"
}

# e2e_start_client CLIENT: starts the program and waits for its connected main window.
e2e_start_client()
{
  e2e_step "cliente"
  QT_QPA_PLATFORM=xcb "$1" >"$E2E_DIR/client.log" 2>&1 &
  E2E_CLIENT_PID=$!
  E2E_PIDS+=($!)
  E2E_MAIN_TITLE='^Tressalin - V\. '
  e2e_wait_window "$E2E_MAIN_TITLE" >/dev/null
  e2e_wait_active "$E2E_MAIN_TITLE"
}

# e2e_keys KEY...: key presses as the operator makes them.
e2e_keys()
{
  local key
  for key in "$@"; do
    xdotool key --clearmodifiers "$key"
    sleep 0.15
  done
}

# e2e_scan CODE: what a keyboard-wedge scanner sends: the code, then Enter.
e2e_scan()
{
  xdotool type --delay 8 "$1"
  xdotool key Return
}

# e2e_open_cadastro: menu "Cadastro" / "Cadastro" by keyboard (Alt highlights the menu bar).
e2e_open_cadastro()
{
  e2e_wait_active "$E2E_MAIN_TITLE"
  e2e_keys alt Return Return
}

# e2e_login USER PASSWORD: the login dialog of a registration screen.
e2e_login()
{
  e2e_step "login $1"
  e2e_wait_window '^Cadastro$' >/dev/null
  e2e_wait_active '^Cadastro$'
  e2e_scan "$1"
  e2e_scan "$2"
  e2e_wait_gone '^Cadastro$'
  e2e_wait_active "$E2E_MAIN_TITLE"
}

# A person's pause before a deliberate key at a box: longer than the box's rule asks (the
# keyboard quiet 300 ms and the box on screen 400 ms), as someone who reads it first. It paces
# the act; no verdict waits on it.
E2E_READ_PAUSE="${E2E_READ_PAUSE:-0.8}"

# e2e_box_key TITLE KEY...: deliberate keys at the box TITLE, each after a reading pause.
e2e_box_key()
{
  local title="$1" key
  shift
  e2e_wait_window "$title" >/dev/null
  e2e_wait_active "$title"
  for key in "$@"; do
    sleep "$E2E_READ_PAUSE"
    xdotool key --clearmodifiers "$key"
  done
}

# e2e_dismiss_error: the operator reads the error box and presses Enter.
e2e_dismiss_error()
{
  e2e_box_key '^Erro$' Return
  e2e_wait_gone '^Erro$'
  e2e_wait_active "$E2E_MAIN_TITLE"
}

# e2e_box_shows TITLE TEXT...: the open box TITLE shows every TEXT (its texts copied with Ctrl+C
# and read back from the clipboard).
e2e_box_shows()
{
  local title="$1" text i got="" missing
  shift
  e2e_wait_window "$title" >/dev/null
  e2e_wait_active "$title"
  for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
    xdotool key --clearmodifiers ctrl+c
    got="$(timeout 2 xclip -o -selection clipboard 2>/dev/null || true)"
    missing=""
    for text in "$@"; do
      [[ "$got" == *"$text"* ]] || missing="$text"
    done
    [ -z "$missing" ] && return 0
    sleep 0.1
  done
  e2e_fail "a caixa /$title/ não mostra '$missing'; mostra: $got"
}

# e2e_kept CODE: the line a box adds for a code read while it was open.
e2e_kept() { echo "Leitura durante o aviso, não registrada: $1. Feche o aviso e leia de novo."; }

# e2e_choose_operation N: Alt+O, N arrows right to the operation, Alt+O applies it.
e2e_choose_operation()
{
  local i
  e2e_keys alt+o
  for ((i = 0; i < $1; i++)); do
    e2e_keys Right
  done
  e2e_keys alt+o
}

# e2e_no_error_box: fails when an error box is on the screen.
e2e_no_error_box()
{
  if xdotool search --onlyvisible --name '^Erro$' >/dev/null 2>&1; then
    e2e_fail "caixa de erro inesperada"
  fi
}

# e2e_close_screen: closes the active screen with Ctrl+W and checks that it is gone: the next
# "Cadastro" asks for a login again (an open screen would just come to the front).
e2e_close_screen()
{
  e2e_step "fechar a tela"
  e2e_keys ctrl+w
  e2e_open_cadastro
  e2e_wait_window '^Cadastro$' >/dev/null
  e2e_wait_active '^Cadastro$'
  e2e_keys Escape
  e2e_wait_gone '^Cadastro$'
  e2e_wait_active "$E2E_MAIN_TITLE"
}

# e2e_quit_client: Alt+F4 on the main window; the program must end with status 0.
e2e_quit_client()
{
  e2e_step "sair"
  e2e_wait_active "$E2E_MAIN_TITLE"
  e2e_keys alt+F4
  local i status
  for ((i = 0; i < E2E_TIMEOUT * 10; i++)); do
    kill -0 "$E2E_CLIENT_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$E2E_CLIENT_PID" 2>/dev/null && e2e_fail "o cliente não terminou após Alt+F4"
  status=0
  wait "$E2E_CLIENT_PID" || status=$?
  [ "$status" -eq 0 ] || e2e_fail "o cliente terminou com status $status"
}

# e2e_codes SECTION: the codes listed under "[SECTION]" in the demo's code list, one a line.
e2e_codes()
{
  awk -v section="[$1]" '
    /^\[/ { inside = ($0 == section); next }
    inside && NF >= 2 { print $2 }' "$E2E_CODES"
}

# e2e_values_list CODE...: "(code, number)" rows for a VALUES clause; the number is the code
# without its check digit.
e2e_values_list()
{
  local code out=""
  for code in "$@"; do
    out+="${out:+,}('$code', ${code%?})"
  done
  echo "$out"
}

# e2e_dump: the whole station file as SQL text, one sorted line a row.
e2e_dump() { sqlite3 -batch "$E2E_DB" .dump | sort; }

# The demo codes a scenario scans, each taken from its section of the code list and confirmed
# against the station file, so a change of the demo data cannot make a scan mean something else.

# e2e_plants_to_plant N: N plant codes (NCC) with no planting, in ascending order.
e2e_plants_to_plant()
{
  e2e_sql "WITH c(code, n) AS (VALUES $(e2e_values_list $(e2e_codes 'Plantas a plantar (NCC)')))
    SELECT code FROM c WHERE EXISTS (SELECT 1 FROM Planta WHERE ncc = c.n)
      AND NOT EXISTS (SELECT 1 FROM Plantio WHERE ncc = c.n) ORDER BY c.n LIMIT $1;"
}

# e2e_free_planting_codes N: N planting codes in the configured range that no planting uses.
e2e_free_planting_codes()
{
  e2e_sql "WITH c(code, n) AS (VALUES $(e2e_values_list \
      $(e2e_codes 'Códigos de plantio livres (NC Plantio)')))
    SELECT code FROM c, Configuracao cfg WHERE c.n BETWEEN cfg.rela_inicial AND cfg.rela_final
      AND NOT EXISTS (SELECT 1 FROM Plantio WHERE nc_plantio = c.n) ORDER BY c.n LIMIT $1;"
}

# e2e_planted_plant: a plant code (NCC) that already has a planting.
e2e_planted_plant()
{
  e2e_sql "WITH c(code, n) AS (VALUES $(e2e_values_list $(e2e_codes 'Plantas já plantadas (NCC)')))
    SELECT code FROM c WHERE EXISTS (SELECT 1 FROM Plantio WHERE ncc = c.n) LIMIT 1;"
}

# e2e_choose_lote ID: with the focus on the sub-batch list (ordered by id, nothing chosen),
# arrows down to the sub-batch ID; arrows need no typing speed, unlike the list's type-ahead.
e2e_choose_lote()
{
  local position i
  position="$(e2e_sql "SELECT count(*) FROM Lote WHERE id_slote <= $1;")"
  for ((i = 0; i < position; i++)); do
    e2e_keys Down
  done
}

# e2e_lote_with_room N: the first sub-batch with room for more than N plants, so
# no completion alert interrupts N scans.
e2e_lote_with_room()
{
  e2e_sql "SELECT l.id_slote FROM Lote l WHERE l.qte_tratamento -
    (SELECT count(*) FROM Plantio p WHERE p.id_slote = l.id_slote) > $1
    ORDER BY l.id_slote LIMIT 1;"
}

# e2e_empty_plate: "code|id_placa" of a listed plate with no well filled and none transmitted.
e2e_empty_plate()
{
  e2e_sql "WITH c(code, n) AS (VALUES $(e2e_values_list $(e2e_codes 'Placas')))
    SELECT c.code || '|' || p.id_placa FROM c JOIN Placa p ON p.codigo = c.code
    WHERE NOT EXISTS (SELECT 1 FROM Placa_Poco w WHERE w.id_placa = p.id_placa
                        AND (w.nc_plantio IS NOT NULL OR w.origem_coleta IS NOT NULL))
    ORDER BY p.id_placa LIMIT 1;"
}

# e2e_ready_to_collect N: N planting codes in the range, of existing plantings in no well.
e2e_ready_to_collect()
{
  e2e_sql "WITH c(code, n) AS (VALUES $(e2e_values_list \
      $(e2e_codes 'Plantios prontos para coletar (NC Plantio)')))
    SELECT code FROM c, Configuracao cfg WHERE c.n BETWEEN cfg.rela_inicial AND cfg.rela_final
      AND EXISTS (SELECT 1 FROM Plantio WHERE nc_plantio = c.n)
      AND NOT EXISTS (SELECT 1 FROM Placa_Poco WHERE nc_plantio = c.n)
    ORDER BY c.n LIMIT $1;"
}
