"""A library on a server: the clerk signs in, the server stops under the open
program, the clerk's next action is told in Chinese that the server cannot be
reached (and nothing is lent), and once the server is back the same lend goes
through, without starting the program again."""
import os
import subprocess

import pyatspi

from desk_e2e import (box, click, expect, fail, find, lend, outstanding, press_button,
                      reader_without_loans_and_free_book, sign_in, text_of, type_into_box, wait_for)


def server(verb):
    subprocess.run(["bash", os.environ["SHELFMARK_PG_CLUSTER"], verb, os.environ["SHELFMARK_SERVER_STATE"]],
                   check=True)


def answer_server_lost(app):
    """The message box the lost server gives: our words first, then the engine's."""
    alert = wait_for("message box on the lost server", lambda: find(app, "alert"))
    labels = [child.name for child in alert if child is not None and child.getRoleName() == "label" and child.name]
    text = "\n".join(labels)
    if "无法连接数据库服务器,请确认服务器正在运行、网络畅通后再试。" not in text:
        fail("message box shows %r, expected the server named as lost" % labels)
    if not text.split("\n")[0].endswith("失败!"):
        fail("message box starts %r, expected the action that failed" % text.split("\n")[0])
    wait_for("active message box", lambda: alert.getState().contains(pyatspi.STATE_ACTIVE))
    press_button(alert, "确定")
    wait_for("message box closed", lambda: alert.getState().contains(pyatspi.STATE_DEFUNCT)
             or not alert.getState().contains(pyatspi.STATE_SHOWING))
    return text


def main():
    app, main_window = sign_in()
    reader, book, title = reader_without_loans_and_free_book()

    server("halt")
    click(wait_for("lend tab", lambda: find(main_window, "page tab", "正常借书")))
    type_into_box(main_window, "读者编号:", reader, enter=True)
    said = answer_server_lost(app)
    expect("reader's name while the server is down", text_of(box(main_window, "读者姓名:")), "")
    # Still down: told again, not a crash or a hang.
    type_into_box(main_window, "读者编号:", reader, enter=True)
    answer_server_lost(app)

    server("resume")
    expect("before the lend: (loans, lent flag)", outstanding(reader, book), (0, 0))
    lend(app, main_window, reader, book, title)
    print("e2e: the server stopped under the program: told %r; back again, lent %s to reader %s"
          % (said.split("\n")[0], book, reader))


if __name__ == "__main__":
    main()
