"""Each output button: first click on, second off, each with its own port
writes, and the lamps showing the result at the next repaint."""
from steps import apply_address, check, close_cleanly, start, switch_output


def every_output_on_and_off(bench):
    panel = start(bench, "outputs")
    apply_address(panel, "0X378")
    failures = []
    for n in range(1, 13):
        try:
            switch_output(panel, n, on=True)
            switch_output(panel, n, on=False)
        except AssertionError as e:  # the other outputs are still worth trying
            failures.append(str(e))
    check(not failures, "; ".join(failures))
    close_cleanly(panel)


CASES = [("DO1..DO12: on and off writes, lamps at the next repaint", every_output_on_and_off)]
