"""End-to-end tests under Wine: fresh prefixes, the Win32 test driver, and scenarios.

Importable from other scripts (the demo) as well as run by tests/e2e/e2e.py:

    sys.path.insert(0, "<checkout>/tests/e2e")
    from nolu_e2e import WinePrefix, Driver
    prefix = WinePrefix.attach()            # the prefix ./run prepared (WINEPREFIX)
    driver = Driver(prefix, "<build>/bin/nolu_driver.exe")
    print(driver.run(r'"C:\\x\\Setup.exe" /AUTO /SILENT'))
"""

from .driver import Driver, Program
from .errors import DriverError, DriverNotFound, HarnessError, ScenarioFailure
from .prefix import WinePrefix
from .scenario import Scenario, load_scenarios, run_scenario, scenario
from .trees import (TreeDiff, TreeListing, compare_folders, diff_listings, diff_paths,
                    list_tree)

__all__ = [
    "Driver", "DriverError", "DriverNotFound", "HarnessError", "Program", "Scenario",
    "ScenarioFailure", "TreeDiff", "TreeListing", "WinePrefix", "compare_folders",
    "diff_listings", "diff_paths", "list_tree", "load_scenarios", "run_scenario", "scenario",
]
