"""Starting Unix processes around Wine without inheriting anyone's pipes.

Output is captured in temporary files, not pipes: a reader of a pipe waits until every
process holding its write end has gone, and Wine hands a program's standard handles on to
long-lived processes it starts (services, the desktop). A file is read once the one process
we started has ended, whatever it left running.
"""

import subprocess
import tempfile


class Captured:
    def __init__(self, returncode, stdout, stderr):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr


def run_captured(command, env, timeout, cwd=None):
    """Runs `command`, returns its exit code and output; kills it after `timeout` seconds
    and raises subprocess.TimeoutExpired."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                   env=env, cwd=cwd)
        try:
            returncode = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise
        out.seek(0)
        err.seek(0)
        return Captured(returncode, out.read().decode("utf-8", "replace"),
                        err.read().decode("utf-8", "replace"))


def start_detached(command, env, cwd=None):
    """Starts `command` in its own session with no standard handles of ours."""
    return subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, env=env, cwd=cwd,
                            start_new_session=True)
