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

# The release of VELMORANT_FAILO_VERSIJA (YYYY-MM-DD): its AppStream release
# entry and the manual page's date. Set it anew with every version.
set(VELMORANT_LEIDIMO_DATA "2026-12-09")

# The desktop entry is <id>.desktop and the metadata <id>.metainfo.xml, so that
# software centres tie the two together; the running program names the same
# entry (QGuiApplication::desktopFileName).
set(VELMORANT_ID "io.github.velmorant.Velmorant")
