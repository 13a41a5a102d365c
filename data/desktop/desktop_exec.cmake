# placarim_desktop_exec(OUT path): `path` as one argument of a desktop entry's
# Exec key. The argument is always quoted; inside the quotes the characters
# " ` $ and \ are escaped with a backslash, and since Exec is a string value,
# every backslash is then written twice; % is written %% (a field code
# otherwise). So a prefix with spaces or quotes still names one program.
function(placarim_desktop_exec out path)
  set(arg "${path}")
  string(REPLACE "\\" "\\\\" arg "${arg}")
  string(REPLACE "\"" "\\\"" arg "${arg}")
  string(REPLACE "`" "\\`" arg "${arg}")
  string(REPLACE "$" "\\$" arg "${arg}")
  string(REPLACE "\\" "\\\\" arg "${arg}")
  string(REPLACE "%" "%%" arg "${arg}")
  set(${out} "\"${arg}\"" PARENT_SCOPE)
endfunction()
