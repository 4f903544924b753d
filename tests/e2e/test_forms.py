"""End-to-end tests of the form layer under Wine, in a test host that uses it in-process."""


def test_picture_surfaces_delete_their_bitmaps(session, dist):
    # Windows refuses to delete a bitmap still selected into a device context, and it leaks.
    # Wine defers such a delete instead, and its GDI trace names each one: there must be none.
    proc = session.start(dist.parent / "test-hosts" / "surface_host.exe", ["100"],
                         extra_env={"WINEDEBUG": "+gdi"})
    assert session.wait_exit(proc, 120) == 0
    log = sorted(session.logs.glob("*-surface_host.exe.log"))[-1].read_text("utf-8", "replace")
    assert "100 surfaces made and destroyed" in log
    assert "trace:gdi:" in log  # the trace that would show a deferred delete is on
    deferred = [line for line in log.splitlines() if "because object in use" in line]
    assert not deferred, f"{len(deferred)} bitmaps deleted while selected: {deferred[0]}"
