"""The panel through the accessibility interface, from another process as
a screen reader or a test script reads it: every lamp and output button by
its line, its reading and its place; the register panel's fields by their
register; the events that announce a change, and none while nothing changes."""
from access import AccessClient
from expected import BLACK, LAMPS, OUTPUTS, WHITE, lamp_colours
from steps import apply_address, check, close_cleanly, start

# Each line's DB25 pin and its signal as written under its lamp.
PINS = {"DI1": (10, "/ACK"), "DI2": (11, "BUSY"), "DI3": (12, "/Paper Out"), "DI4": (13, "/Select"),
        "DI5": (15, "/Error"), "DO1": (1, "/STROBE"),
        **{"DO%d" % n: (n, "D%d" % (n - 2)) for n in range(2, 10)},
        "DO10": (14, "/Line Feed"), "DO11": (16, "Reset"), "DO12": (17, "/Select PTR")}
FIELDS = {"MaskEdit_REGISTER": "Data register address", "Label0x379": "Status register address",
          "Label0x37A": "Control register address", "LabelHexValueData": "Data register value",
          "LabelHexValueControl": "Status register value", "LabelHexValueStatus": "Control register value"}


def lamp_name(line):
    pin, signal = PINS[line]
    return "%s %s, pin %d, %s" % (line[:2], line[2:], pin, signal)


def switch_name(line):
    return lamp_name(line) + ": switch"


def reading(colour):
    return {WHITE: "no reading", BLACK: "off"}.get(colour, "on")


class Reader:
    def __init__(self, bench, panel):
        self.panel = panel
        self.client = AccessClient(bench, bench.access_client_exe)

    def elements(self):
        found = self.client.elements()
        self.origin = found["Tarnwick"].location[:2]  # the form's client area on the screen
        return found

    def check_lamps(self, colours, when):
        """Each lamp's name, value, states and place for these colours."""
        found = self.elements()
        for line in LAMPS:
            name = lamp_name(line)
            check(name in found, "%s: no lamp named %r" % (when, name))
            lamp = found[name]
            want = reading(colours[line])
            check(lamp.value == want, "%s: %s reads %r, expected %r" % (when, name, lamp.value, want))
            check("read only" in lamp.states, "%s: %s is not read-only: %s" % (when, name, lamp))
            check(("checked" in lamp.states) == (want == "on"), "%s: %s checked wrongly: %s" % (when, name, lamp))
            r = self.panel.layout.lamp(line)
            place = (self.origin[0] + r.x, self.origin[1] + r.y, r.width, r.height)
            check(lamp.location == place, "%s: %s at %s, drawn at %s" % (when, name, lamp.location, place))
        return found

    def check_switches(self, on, when):
        """Each output button: caption kept, named for its line, pressed while on."""
        found = self.elements()
        for line in OUTPUTS:
            button = found.get(switch_name(line))
            check(button is not None, "%s: no button named %r" % (when, switch_name(line)))
            pressed = "pressed" in button.states and "checked" in button.states
            check(pressed == (line in on), "%s: %s: %s" % (when, switch_name(line), button))
        return found

    def check_lamps_follow_port(self, when):
        colours = lamp_colours(**self.panel.console.registers())
        self.panel.wait_lamps(colours)
        return self.check_lamps(colours, when)


def names_values_and_places(bench):
    panel = start(bench, "access")
    reader = Reader(bench, panel)
    found = reader.check_lamps({line: WHITE for line in LAMPS}, "before Set")
    reader.check_switches([], "before Set")
    for component, name in FIELDS.items():
        check(name in found, "no field named %r" % name)
    check(found["Data register address"].value == "0X378", "address field: %s" % found["Data register address"])
    check(found["Status register value"].value == "0", "%s" % found["Status register value"])
    picture = found.get("DB25 connector pin assignment")
    check(picture is not None and picture.role == "graphic", "the connector picture: %s" % picture)
    apply_address(panel, "0X378")
    found = reader.check_lamps_follow_port("after Set")
    status = panel.console.registers()["status"]
    check(found["Status register value"].value == str(status),
          "after Set: %s, the port's status is %d" % (found["Status register value"], status))
    check("unavailable" in found["Data register address"].states, "the field after Set: %s" % found["Data register address"])
    panel.console.command("wiring", "none")
    panel.console.command("pin", 10, "low")
    reader.check_lamps_follow_port("after pin 10 went low")
    panel.click_output(5)
    reader.check_lamps_follow_port("after DO5's click")
    reader.check_switches(["DO5"], "after DO5's click")
    panel.click_output(3)
    panel.click_output(5)
    reader.check_lamps_follow_port("after DO3 on and DO5 off")
    reader.check_switches(["DO3"], "after DO3 on and DO5 off")
    print("\n".join(str(e) for e in reader.client.listing()))
    close_cleanly(panel)


def one_event_per_change_and_none_while_quiet(bench):
    panel = start(bench, "access-events")
    apply_address(panel, "0X378")
    panel.console.command("wiring", "none")
    reader = Reader(bench, panel)
    reader.check_lamps_follow_port("before listening")
    quiet = reader.client.events_during(lambda: None, 2)
    check(quiet == [], "a quiet port raised events: %s" % quiet)
    heard = reader.client.events_during(lambda: panel.console.command("pin", 10, "low"), 3)
    name = lamp_name("DI1")
    expected = [("statechange", name, "on", "checked,read only"), ("valuechange", name, "on", "checked,read only")]
    check(sorted(heard) == expected, "pin 10 low: heard %s, expected %s" % (heard, expected))
    heard = reader.client.events_during(lambda: panel.click_output(5), 3)
    for event, who in [("valuechange", lamp_name("DO5")), ("statechange", lamp_name("DO5")),
                       ("statechange", switch_name("DO5"))]:
        check(len([h for h in heard if h[:2] == (event, who)]) == 1, "DO5's click: heard %s, no single %s of %s"
              % (heard, event, who))
    close_cleanly(panel)


CASES = [
    ("names, values, states and places of lamps, switches and fields", names_values_and_places),
    ("one event per change, none while the port is quiet", one_event_per_change_and_none_while_quiet),
]
