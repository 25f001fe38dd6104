# The folder outside the repository where scripts/setup.sh and
# scripts/setup-windows.sh keep what they download (the KiCad demo boards,
# simdjson's source): PCB28_CACHE_FOLDER, chosen as the scripts choose it.
if(DEFINED ENV{PCB28_CACHE})
  set(PCB28_CACHE_FOLDER "$ENV{PCB28_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(PCB28_CACHE_FOLDER "$ENV{XDG_CACHE_HOME}/pcb28")
else()
  set(PCB28_CACHE_FOLDER "$ENV{HOME}/.cache/pcb28")
endif()
