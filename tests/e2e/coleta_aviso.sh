#!/usr/bin/env bash
# Collection with boxes met by the scanner, end to end: a refused NC Plantio
# while the scanner goes on with the next two codes must not shift the plate's
# wells; a plate code read as an NC Plantio is named; "Exclusão - Poço" refuses
# a code that is not the last well's and then deletes the last well, its
# question met by a scan. Afterwards every well holds the code scanned for it.
# Usage: coleta_aviso.sh CLIENT ADMIN OUTDIR
set -euo pipefail
client="$1" admin="$2" outdir="$3"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_init coleta_aviso "$outdir"
e2e_start_display
e2e_station "$admin" "$client" coleta

e2e_step "escolher a placa e os códigos"
IFS='|' read -r placa id_placa < <(e2e_empty_plate) || true
[ -n "${id_placa:-}" ] || e2e_fail "a demonstração não tem placa vazia"
mapfile -t ncp < <(e2e_ready_to_collect 4)
[ "${#ncp[@]}" -eq 4 ] || e2e_fail "a demonstração tem ${#ncp[@]} plantios prontos, não 4"
collected="$(e2e_sql "WITH c(code, n) AS (VALUES $(e2e_values_list \
    $(e2e_codes 'Plantios já coletados (NC Plantio)')))
  SELECT code FROM c WHERE EXISTS (SELECT 1 FROM Placa_Poco WHERE nc_plantio = c.n) LIMIT 1;")"
[ -n "$collected" ] || e2e_fail "a demonstração não lista plantio já coletado"
filled="SELECT count(*) FROM Placa_Poco WHERE id_placa = $id_placa AND nc_plantio IS NOT NULL;"
well() { e2e_sql "SELECT poco FROM Placa_Poco WHERE id_placa = $id_placa AND amostra = 'T'
  ORDER BY seq_coleta LIMIT 1 OFFSET $(($1 - 1));"; }

e2e_start_client "$client"
before_dump="$(e2e_dump)"

e2e_step "abrir Cadastro"
e2e_open_cadastro
e2e_login ADMIN 1234

e2e_step "placa $placa e o primeiro poço"
e2e_scan "$placa"
e2e_scan "${ncp[0]}"
e2e_wait_sql "$filled" 1

e2e_step "NC Plantio já coletado, e o leitor segue com os dois seguintes durante o aviso"
e2e_scan "$collected"
e2e_scan "${ncp[1]}"
e2e_scan "${ncp[2]}"
e2e_box_shows '^Erro$' "NC Plantio já foi coletado." "$(e2e_kept "${ncp[1]}")" \
  "$(e2e_kept "${ncp[2]}")"
e2e_dismiss_error
[ "$(e2e_sql "$filled")" = 1 ] || e2e_fail "uma leitura feita durante o aviso preencheu um poço"
e2e_scan "${ncp[1]}"
e2e_wait_sql "$filled" 2
e2e_scan "${ncp[2]}"
e2e_wait_sql "$filled" 3

e2e_step "código de placa lido como NC Plantio"
e2e_scan "$placa"
e2e_box_shows '^Erro$' "Este código é uma Placa, leia o NC Plantio."
e2e_dismiss_error

e2e_step "Exclusão - Poço: só o último poço"
e2e_choose_operation 2
e2e_scan "$placa"
e2e_scan "${ncp[0]}"
e2e_box_shows '^Erro$' "não é o do último poço coletado" "Poço [$(well 3)], NC Plantio [${ncp[2]}]"
e2e_dismiss_error
e2e_scan "${ncp[2]}"
e2e_scan "${ncp[3]}"
e2e_box_shows '^ Exclusão de dados de Coleta\. $' "poço [$(well 3)]" "$(e2e_kept "${ncp[3]}")"
e2e_box_key '^ Exclusão de dados de Coleta\. $' Tab Return
e2e_wait_window '^Exclusão$' >/dev/null
e2e_wait_active '^Exclusão$'
e2e_scan ADMIN
e2e_scan 1234
e2e_wait_gone '^Exclusão$'
e2e_wait_sql "$filled" 2

e2e_step "de volta à inclusão: o poço liberado recebe o próximo código"
e2e_wait_active "$E2E_MAIN_TITLE"
e2e_keys alt+o Left Left alt+o
e2e_scan "$placa"
e2e_scan "${ncp[3]}"
e2e_wait_sql "$filled" 3
e2e_no_error_box

e2e_close_screen
e2e_quit_client

e2e_step "conferir o banco de dados"
expected="${ncp[0]%?}
${ncp[1]%?}
${ncp[3]%?}"
got="$(e2e_sql "SELECT CAST(nc_plantio AS INTEGER) FROM Placa_Poco WHERE id_placa = $id_placa
  AND nc_plantio IS NOT NULL ORDER BY seq_coleta;")"
[ "$got" = "$expected" ] ||
  e2e_fail "poços diferentes da ordem de leitura:"$'\n'"esperado:"$'\n'"$expected"$'\n'"gravado:"$'\n'"$got"
[ "$(e2e_sql "SELECT CAST(nc_plantio AS INTEGER) FROM Placa_Poco_Exc;")" = "${ncp[2]%?}" ] ||
  e2e_fail "o arquivo de exclusões devia guardar só o poço de ${ncp[2]}"
after_dump="$(e2e_dump)"
changed="$(comm -3 <(echo "$before_dump") <(echo "$after_dump") |
  grep -vE "^[[:space:]]*INSERT INTO (Placa_Poco VALUES\($id_placa,|Placa_Poco_Exc )" || true)"
[ -z "$changed" ] || e2e_fail "linhas de outras tabelas ou placas mudaram: $changed"
echo "OK: $E2E_NAME"
