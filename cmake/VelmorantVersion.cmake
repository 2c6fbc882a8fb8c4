# Who the program is, in one place: the values of its version record (compiled
# in by support/, read by FailoInfo), the date this version was released, and
# the reverse-DNS id under which the desktop entry and the AppStream metadata
# are installed. The package, the metadata and the manual page take their
# version, name and description from here too.
set(VELMORANT_IMONE "Velmorant developers")
set(VELMORANT_APRASYMAS "Velmorant game server watcher")
set(VELMORANT_FAILO_VERSIJA "${PROJECT_VERSION}")
set(VELMORANT_VIDINIS_VARDAS "Velmorant")
set(VELMORANT_AUTORIU_TEISES "Copyright © 2026 Velmorant developers")
set(VELMORANT_PREKIU_ZENKLAI "Half-Life and Counter-Strike are trademarks of Valve Corporation")
set(VELMORANT_ORIGINALUS_VARDAS "velmorant")
set(VELMORANT_PRODUKTAS "Velmorant")
set(VELMORANT_PRODUKTO_VERSIJA "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(VELMORANT_KOMENTARAI "Watches Half-Life and Counter-Strike game servers in real time")

# The program described for the package and for software centres, one list
# item a paragraph (so no semicolons inside).
set(VELMORANT_APRASYMO_PASTRAIPOS
    "Velmorant watches one Half-Life or Counter-Strike game server live. Type the server's address into the address box and the program polls it over UDP every five seconds and shows its scoreboard: the server's name, the map and its picture, the players dealt into two columns with their frags and time connected, the spectators and the round-trip time."
    "Servers that still answer the legacy query words get exactly those, and today's servers are found out within the first second and polled with the Steam server queries. Beside the scoreboard there are a favourite server list polled in turn, a window with the watched server's details and rules, a choice of interface language (English and Lithuanian are shipped), and a button that starts the installed game, through Wine or Steam, connected to the watched server.")

# The release of VELMORANT_FAILO_VERSIJA (YYYY-MM-DD): its AppStream release
# entry and the manual page's date. Set it anew with every version.
set(VELMORANT_LEIDIMO_DATA "2026-12-09")

# The desktop entry is <id>.desktop and the metadata <id>.metainfo.xml, so that
# software centres tie the two together; the running program names the same
# entry (QGuiApplication::desktopFileName).
set(VELMORANT_ID "io.github.velmorant.Velmorant")
