# Run at install time: writes the desktop entry from its template with the
# executable's full path in Exec, quoted as the desktop entry rules ask when the
# path holds a reserved character, and installs it.
#   VELMORANT_PROGRAMA  the executable's full path (without DESTDIR)
#   VELMORANT_SABLONAS  the template, VELMORANT_LAIKINAS the file written
#   VELMORANT_PASKIRTIS the folder it is installed into
set(exec "${VELMORANT_PROGRAMA}")
if(NOT exec MATCHES "^[A-Za-z0-9/._+-]+$")
    # Inside double quotes "\", """, "`" and "$" take a backslash; "%" doubles.
    string(REPLACE "\\" "\\\\" exec "${exec}")
    string(REPLACE "\"" "\\\"" exec "${exec}")
    string(REPLACE "`" "\\`" exec "${exec}")
    string(REPLACE "$" "\\$" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")
# The value itself is a string of the entry: its backslashes double again.
string(REPLACE "\\" "\\\\" exec "${exec}")
set(VELMORANT_EXEC "${exec}")
configure_file("${VELMORANT_SABLONAS}" "${VELMORANT_LAIKINAS}" @ONLY)
file(INSTALL DESTINATION "${VELMORANT_PASKIRTIS}" TYPE FILE FILES "${VELMORANT_LAIKINAS}")
