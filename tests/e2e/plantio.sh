#!/usr/bin/env bash
# Planting at a station, end to end: the operator opens "Cadastro" from the
# menu, logs in, chooses a sub-batch and scans ten plant / planting-code pairs
# with a keyboard-wedge scanner; one scan of a plant already planted is
# refused and its alert dismissed with Enter. Afterwards the station file must
# hold exactly the ten new Plantio rows and nothing else changed.
# Usage: plantio.sh CLIENT ADMIN OUTDIR
set -euo pipefail
client="$1" admin="$2" outdir="$3"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_init plantio "$outdir"
e2e_start_display
e2e_station "$admin" "$client" plantio

e2e_step "escolher os códigos"
mapfile -t nccs < <(e2e_plants_to_plant 10)
mapfile -t ncps < <(e2e_free_planting_codes 10)
[ "${#nccs[@]}" -eq 10 ] || e2e_fail "a demonstração tem ${#nccs[@]} plantas livres, não 10"
[ "${#ncps[@]}" -eq 10 ] || e2e_fail "a demonstração tem ${#ncps[@]} códigos livres, não 10"
planted="$(e2e_planted_plant)"
[ -n "$planted" ] || e2e_fail "a demonstração não lista planta já plantada"
lote="$(e2e_lote_with_room 10)"
[ -n "$lote" ] || e2e_fail "nenhum sub-lote com lugar para dez plantas"
admin_id="$(e2e_sql "SELECT id_user FROM Usua WHERE codigo = 'ADMIN';")"

e2e_start_client "$client"
# The state the operator starts from: connected, the file bound to this computer.
before_dump="$(e2e_dump)"
before_count="$(e2e_sql 'SELECT count(*) FROM Plantio;')"

e2e_step "abrir Cadastro"
e2e_open_cadastro
e2e_login ADMIN 1234

e2e_step "escolher o sub-lote $lote"
# The focus starts on the sub-batch list; Tab then goes to the NCC field.
e2e_choose_lote "$lote"
e2e_keys Tab

for i in $(seq 0 9); do
  if [ "$i" -eq 5 ]; then
    e2e_step "leitura recusada: planta já plantada $planted"
    e2e_scan "$planted"
    e2e_dismiss_error
    # The refused code stays selected in the NCC field, so the next scan replaces it.
  fi
  e2e_step "par $((i + 1)): NCC ${nccs[i]}, NC Plantio ${ncps[i]}"
  e2e_scan "${nccs[i]}"
  e2e_scan "${ncps[i]}"
  e2e_wait_sql 'SELECT count(*) FROM Plantio;' "$((before_count + i + 1))"
  e2e_no_error_box
done

e2e_close_screen
e2e_quit_client

e2e_step "conferir o banco de dados"
after_dump="$(e2e_dump)"
removed="$(comm -23 <(echo "$before_dump") <(echo "$after_dump"))"
added="$(comm -13 <(echo "$before_dump") <(echo "$after_dump"))"
[ -z "$removed" ] || e2e_fail "linhas mudadas ou apagadas: $removed"
[ "$(grep -c '^INSERT INTO Plantio VALUES' <<<"$added")" -eq 10 ] &&
  [ "$(wc -l <<<"$added")" -eq 10 ] || e2e_fail "esperava só dez linhas novas em Plantio: $added"

expected=""
got_rows=""
in_list=""
for i in $(seq 0 9); do
  expected+="$lote|${ncps[i]%?}|${nccs[i]%?}|$admin_id|1|1"$'\n'
  in_list+="${in_list:+,}${nccs[i]%?}"
done
got_rows="$(e2e_sql "SELECT id_slote, CAST(nc_plantio AS INTEGER), CAST(ncc AS INTEGER), id_user,
    origem_plantio IS NULL,
    data_plantio GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'
  FROM Plantio WHERE ncc IN ($in_list) ORDER BY ncc;")"
[ "$got_rows" = "${expected%$'\n'}" ] ||
  e2e_fail "linhas gravadas diferentes das lidas:"$'\n'"esperado:"$'\n'"$expected"$'\n'"gravado:"$'\n'"$got_rows"
echo "OK: $E2E_NAME"
