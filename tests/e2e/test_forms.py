"""End-to-end tests of the form layer under Wine, in a test host that uses it in-process."""

import re


def test_picture_surfaces_leave_no_gdi_objects(session, dist):
    host = dist.parent / "test-hosts" / "surface_host.exe"
    text = session.wine_output([str(host), "100"], timeout=120)
    found = re.search(r"before=(\d+) after=(\d+) bitmaps left=(\d+)", text)
    assert found, text
    before, after, bitmaps_left = map(int, found.groups())
    assert bitmaps_left == 0, text
    assert after <= before, text
