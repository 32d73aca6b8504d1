#!/usr/bin/env bash
# Runs a test in the lane CTest gave it: the display and Wine prefix that scripts/env.sh start_lanes
# made for that lane (TESSALY_LANE_<id>, "display prefix"). Without lanes the environment's own.
#   lane.sh command...
set -euo pipefail
if [ -n "${CTEST_RESOURCE_GROUP_0_LANES:-}" ]; then
  lane=${CTEST_RESOURCE_GROUP_0_LANES#id:}
  lane_var=TESSALY_LANE_${lane%%,*}
  read -r DISPLAY WINEPREFIX <<<"${!lane_var:?the test command made no lane ${lane%%,*}}"
  export DISPLAY WINEPREFIX
fi
exec "$@"
