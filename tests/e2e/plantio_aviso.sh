#!/usr/bin/env bash
# Planting with boxes met by the scanner, end to end. The operator never waits:
# codes read while a refusal, a completion notice or a deletion's question is
# open must be kept by the box and shown, never applied, and a box closes only
# on a deliberate key. Also: a scan after choosing the sub-batch with Enter goes
# to the NCC field, the same NCC read twice is refused, a deletion deletes the
# pair that was scanned, and leaving the screen with an empty field raises no
# alert. Afterwards the station file holds exactly the pairs scanned together
# and accepted.
# Usage: plantio_aviso.sh CLIENT ADMIN OUTDIR
set -euo pipefail
client="$1" admin="$2" outdir="$3"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_init plantio_aviso "$outdir"
e2e_start_display
e2e_station "$admin" "$client" plantio

e2e_step "escolher os códigos"
mapfile -t ncc < <(e2e_plants_to_plant 6)
mapfile -t ncp < <(e2e_free_planting_codes 5)
[ "${#ncc[@]}" -eq 6 ] && [ "${#ncp[@]}" -eq 5 ] || e2e_fail "a demonstração tem poucos códigos livres"
used="$(e2e_sql "WITH c(code, n) AS (VALUES $(e2e_values_list \
    $(e2e_codes 'Códigos de plantio já usados (NC Plantio)')))
  SELECT code FROM c WHERE EXISTS (SELECT 1 FROM Plantio WHERE nc_plantio = c.n) LIMIT 1;")"
[ -n "$used" ] || e2e_fail "a demonstração não lista código de plantio já usado"
lote="$(e2e_lote_with_room 4)"
[ -n "$lote" ] || e2e_fail "nenhum sub-lote com lugar para quatro plantas"
# A second sub-batch with a single place left, for the completion notice.
last="$(e2e_sql "SELECT max(id_slote) FROM Lote WHERE id_slote <> $lote;")"
e2e_sql "UPDATE Lote SET qte_tratamento = 1 +
  (SELECT count(*) FROM Plantio p WHERE p.id_slote = $last) WHERE id_slote = $last;"
admin_id="$(e2e_sql "SELECT id_user FROM Usua WHERE codigo = 'ADMIN';")"
count='SELECT count(*) FROM Plantio;'

e2e_start_client "$client"
before_dump="$(e2e_dump)"
before="$(e2e_sql "$count")"

e2e_step "abrir Cadastro, senha errada no login"
e2e_open_cadastro
e2e_wait_window '^Cadastro$' >/dev/null
e2e_wait_active '^Cadastro$'
e2e_scan ADMIN
e2e_scan 9999
e2e_box_shows '^Erro$' "Senha inválida."
e2e_box_key '^Erro$' Return
e2e_wait_gone '^Erro$'
e2e_wait_active '^Cadastro$'
e2e_keys Escape
e2e_wait_gone '^Cadastro$'
e2e_open_cadastro
e2e_login ADMIN 1234

e2e_step "sub-lote $lote escolhido com Enter; a leitura seguinte vai para o NCC"
e2e_choose_lote "$lote"
e2e_keys Return
e2e_scan "${ncc[0]}"
e2e_scan "${ncp[0]}"
e2e_wait_sql "$count" "$((before + 1))"

e2e_step "NC Plantio já usado, e o leitor segue com o próximo par durante o aviso"
e2e_scan "${ncc[1]}"
e2e_scan "$used"
e2e_scan "${ncc[2]}"
e2e_scan "${ncp[1]}"
e2e_box_shows '^Erro$' "NC Plantio duplicado." "$(e2e_kept "${ncc[2]}")" "$(e2e_kept "${ncp[1]}")"
e2e_dismiss_error
e2e_no_error_box
[ "$(e2e_sql "$count")" = "$((before + 1))" ] || e2e_fail "uma leitura feita durante o aviso foi gravada"

e2e_step "de volta ao campo recusado: novo NC Plantio para o mesmo NCC, depois o próximo par"
e2e_scan "${ncp[1]}"
e2e_wait_sql "$count" "$((before + 2))"
e2e_scan "${ncc[2]}"
e2e_scan "${ncp[2]}"
e2e_wait_sql "$count" "$((before + 3))"

e2e_step "o mesmo NCC lido duas vezes"
e2e_scan "${ncc[3]}"
e2e_scan "${ncc[3]}"
e2e_box_shows '^Erro$' "Este código é o NCC que acabou de ser lido, leia o NC Plantio."
e2e_dismiss_error
e2e_scan "${ncp[3]}"
e2e_wait_sql "$count" "$((before + 4))"

e2e_step "exclusão do par lido ${ncc[1]} / ${ncp[1]}, com uma leitura na pergunta"
e2e_choose_operation 1
e2e_choose_lote "$lote"
e2e_keys Return
e2e_scan "${ncc[1]}"
e2e_scan "${ncp[1]}"
e2e_scan "${ncc[4]}"
e2e_box_shows '^ Exclusão de Registro $' "NCC: ${ncc[1]%?}" "$(e2e_kept "${ncc[4]}")"
e2e_box_key '^ Exclusão de Registro $' Tab Return
e2e_wait_window '^Exclusão$' >/dev/null
e2e_wait_active '^Exclusão$'
e2e_scan ADMIN
e2e_scan 1234
e2e_wait_gone '^Exclusão$'
e2e_wait_sql "SELECT count(*) FROM Plantio WHERE ncc = ${ncc[1]%?};" 0
e2e_wait_sql "SELECT CAST(nc_plantio AS INTEGER) FROM Plantio_Exc WHERE ncc = ${ncc[1]%?};" \
  "${ncp[1]%?}"

e2e_step "sub-lote $last completo, e o leitor segue durante o aviso"
e2e_wait_active "$E2E_MAIN_TITLE"
e2e_keys alt+o Left alt+o
e2e_choose_lote "$last"
e2e_keys Return
e2e_scan "${ncc[4]}"
e2e_scan "${ncp[4]}"
e2e_scan "${ncc[5]}"
e2e_box_shows '^Erro$' "O Lote está completo com as linhagens." "$(e2e_kept "${ncc[5]}")"
e2e_dismiss_error

e2e_step "sair com os campos vazios: menu e fechar sem alerta"
e2e_keys alt Escape
e2e_no_error_box
e2e_close_screen
e2e_no_error_box
e2e_quit_client

e2e_step "conferir o banco de dados"
after_dump="$(e2e_dump)"
removed="$(comm -23 <(echo "$before_dump") <(echo "$after_dump"))"
added="$(comm -13 <(echo "$before_dump") <(echo "$after_dump"))"
[ -z "$removed" ] || e2e_fail "linhas mudadas ou apagadas: $removed"
[ "$(grep -c '^INSERT INTO Plantio VALUES' <<<"$added")" -eq 4 ] &&
  [ "$(grep -c '^INSERT INTO Plantio_Exc VALUES' <<<"$added")" -eq 1 ] &&
  [ "$(wc -l <<<"$added")" -eq 5 ] || e2e_fail "esperava quatro plantios e um excluído: $added"
expected="$lote|${ncp[0]%?}|${ncc[0]%?}|$admin_id
$lote|${ncp[2]%?}|${ncc[2]%?}|$admin_id
$lote|${ncp[3]%?}|${ncc[3]%?}|$admin_id
$last|${ncp[4]%?}|${ncc[4]%?}|$admin_id"
got="$(e2e_sql "SELECT id_slote, CAST(nc_plantio AS INTEGER), CAST(ncc AS INTEGER), id_user
  FROM Plantio WHERE ncc IN (${ncc[0]%?}, ${ncc[1]%?}, ${ncc[2]%?}, ${ncc[3]%?}, ${ncc[4]%?},
    ${ncc[5]%?}) ORDER BY ncc;")"
[ "$got" = "$expected" ] ||
  e2e_fail "pares gravados diferentes dos lidos juntos:"$'\n'"esperado:"$'\n'"$expected"$'\n'"gravado:"$'\n'"$got"
echo "OK: $E2E_NAME"
