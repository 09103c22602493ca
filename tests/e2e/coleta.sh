#!/usr/bin/env bash
# Collection at a station, end to end: the operator opens "Cadastro" from the
# menu, logs in, scans an empty plate and then fills it to the last well by
# scanning planting codes ready to collect; the scanner goes on with one more
# code while the completion notice is open, which the notice keeps and shows,
# and the operator closes it with a deliberate Enter. Afterwards the plate's sample wells must hold the scanned codes
# in collection order, and nothing else in the station file has changed.
# Usage: coleta.sh CLIENT ADMIN OUTDIR
set -euo pipefail
client="$1" admin="$2" outdir="$3"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_init coleta "$outdir"
e2e_start_display
e2e_station "$admin" "$client" coleta

e2e_step "escolher a placa e os códigos"
IFS='|' read -r placa id_placa < <(e2e_empty_plate) || true
[ -n "${id_placa:-}" ] || e2e_fail "a demonstração não tem placa vazia"
wells="$(e2e_sql "SELECT count(*) FROM Placa_Poco WHERE id_placa = $id_placa AND amostra = 'T';")"
[ "$wells" -gt 0 ] || e2e_fail "a placa $placa não tem poços de amostra"
mapfile -t ncps < <(e2e_ready_to_collect "$((wells + 1))")
[ "${#ncps[@]}" -eq "$((wells + 1))" ] ||
  e2e_fail "a demonstração tem ${#ncps[@]} plantios prontos, a placa pede $wells"
admin_id="$(e2e_sql "SELECT id_user FROM Usua WHERE codigo = 'ADMIN';")"
filled="SELECT count(*) FROM Placa_Poco WHERE id_placa = $id_placa AND nc_plantio IS NOT NULL;"

e2e_start_client "$client"
before_dump="$(e2e_dump)"

e2e_step "abrir Cadastro"
e2e_open_cadastro
e2e_login ADMIN 1234

e2e_step "ler a placa $placa"
# The focus starts in the plate field; Enter loads the plate and moves on to NC Plantio.
e2e_scan "$placa"
e2e_no_error_box

for i in $(seq 0 $((wells - 1))); do
  e2e_step "poço $((i + 1)) de $wells: NC Plantio ${ncps[i]}"
  e2e_scan "${ncps[i]}"
  if [ "$i" -lt $((wells - 1)) ]; then
    e2e_wait_sql "$filled" "$((i + 1))"
    e2e_no_error_box
  fi
done
e2e_step "aviso de placa completa, e uma leitura a mais durante o aviso"
e2e_scan "${ncps[wells]}"
e2e_wait_sql "$filled" "$wells"
e2e_box_shows '^Erro$' "A Placa já foi totalmente coletado." "$(e2e_kept "${ncps[wells]}")"
e2e_dismiss_error

e2e_close_screen
e2e_quit_client

e2e_step "conferir o banco de dados"
after_dump="$(e2e_dump)"
removed="$(comm -23 <(echo "$before_dump") <(echo "$after_dump"))"
added="$(comm -13 <(echo "$before_dump") <(echo "$after_dump"))"
# Only the plate's sample wells change: each of their rows is replaced once.
plate_rows="^INSERT INTO Placa_Poco VALUES\($id_placa,"
[ "$(grep -cE "$plate_rows" <<<"$removed")" -eq "$wells" ] &&
  [ "$(wc -l <<<"$removed")" -eq "$wells" ] &&
  [ "$(grep -cE "$plate_rows" <<<"$added")" -eq "$wells" ] &&
  [ "$(wc -l <<<"$added")" -eq "$wells" ] ||
  e2e_fail "esperava só os $wells poços da placa alterados:"$'\n'"antes: $removed"$'\n'"depois: $added"

expected=""
for i in $(seq 0 $((wells - 1))); do
  expected+="${ncps[i]%?}|$admin_id|1|1|1"$'\n'
done
got_rows="$(e2e_sql "SELECT CAST(nc_plantio AS INTEGER), user_coleta, status_poco,
    origem_coleta IS NULL,
    data_coleta GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'
  FROM Placa_Poco WHERE id_placa = $id_placa AND amostra = 'T' ORDER BY seq_coleta;")"
[ "$got_rows" = "${expected%$'\n'}" ] ||
  e2e_fail "poços gravados diferentes da ordem de leitura:"$'\n'"esperado:"$'\n'"$expected"$'\n'"gravado:"$'\n'"$got_rows"
[ "$(e2e_sql "SELECT count(*) FROM Placa_Poco WHERE id_placa = $id_placa AND amostra <> 'T'
    AND nc_plantio IS NULL AND status_poco = 0;")" = \
  "$(e2e_sql "SELECT count(*) FROM Placa_Poco WHERE id_placa = $id_placa AND amostra <> 'T';")" ] ||
  e2e_fail "um poço de controle foi preenchido"
echo "OK: $E2E_NAME"
