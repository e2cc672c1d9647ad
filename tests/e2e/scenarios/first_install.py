"""A first installation while the player of an earlier run is still open: the setup closes it
before it writes anything, and installs as if it had not been there."""

from nolu_e2e import scenario
from nolu_e2e.installed_copies import backup_archives
from nolu_e2e.product_checks import PRODUCT_DIR, check_installed, install_setup, run_setup

EARLIER = r"C:\Users\Public\Downloads\Nolu"
MAIN_WINDOW = "TNoluMainForm"


@scenario("first_install_closes_player")
def first_install_closes_player(s):
    """Nolu.exe, started from another folder before the setup, gets WM_CLOSE and ends; the
    installation then goes on and ends well."""
    s.copy_in(s.sample.package_file("Nolu.exe"), EARLIER + r"\Nolu.exe")
    player = s.start(f'"{EARLIER}\\Nolu.exe" /play')
    s.driver.wait_window(cls=MAIN_WINDOW, timeout=30)
    install_setup(s)

    s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT'), 0, "exit code")

    # The player was not killed: it handled the message and ended by itself.
    s.check_equal(player.wait(timeout=10), 0, "exit code of the closed player")
    s.driver.wait_window(cls=MAIN_WINDOW, gone=True, timeout=1)
    check_installed(s, "EN")
    s.check_equal(backup_archives(s, PRODUCT_DIR), [], "a first installation has no backup")
    # The player's folder is not the destination: nothing of it was touched.
    s.check_tree(EARLIER, ["Nolu.exe", "Nolu.log"], "the earlier player's folder")
    s.check_equal(s.read_text(EARLIER + r"\Nolu.log"), " /play\r\n", "the player's log")
