# Opens documents in a LibreOffice of its own (headless, a private profile,
# reached over UNO) as a user would for editing, and tells for each how
# LibreOffice opened it, and the lock file LibreOffice itself wrote while it
# had it open. Without anyone to ask, LibreOffice opens a document another
# holds the lock of read-only, and refuses one locked in its own user's name
# from elsewhere (it would ask whether that lock is left from a crash).
#
#   python3 lockcheck.py PROFILE_URL PIPE_NAME FILE...
# prints one line a file: "FILE<TAB>editable|readonly|refused<TAB>lock file or -".

import os
import signal
import subprocess
import sys
import time

import uno
from com.sun.star.beans import PropertyValue


def main():
    profile, pipe, files = sys.argv[1], sys.argv[2], sys.argv[3:]
    office = subprocess.Popen(
        ["soffice", "-env:UserInstallation=" + profile, "--headless", "--invisible", "--norestore",
         "--accept=pipe,name=%s;urp;" % pipe],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        context = None
        for _ in range(240):
            try:
                context = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.25)
        if context is None:
            sys.exit("LibreOffice did not answer (%s)" % (
                "still running" if office.poll() is None else "ended with %d" % office.returncode))
        desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        hidden = PropertyValue()
        hidden.Name, hidden.Value = "Hidden", True
        for path in files:
            path = os.path.abspath(path)
            document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), "_blank", 0, (hidden,))
            lock = os.path.join(os.path.dirname(path), ".~lock." + os.path.basename(path) + "#")
            seen = open(lock, encoding="utf-8").read() if os.path.exists(lock) else "-"
            if document is None:
                how = "refused"
            else:
                how = "readonly" if document.isReadonly() else "editable"
                document.close(True)
            print("%s\t%s\t%s" % (path, how, seen), flush=True)
        try:
            desktop.terminate()
        except Exception:
            pass  # the bridge goes as LibreOffice ends
        office.wait(timeout=60)
    finally:
        # soffice is a script that starts LibreOffice's processes: they go
        # as a group.
        if office.poll() is None:
            os.killpg(office.pid, signal.SIGKILL)
            office.wait()


main()
