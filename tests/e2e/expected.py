"""What the panel must show and write: lamp colours for register values,
each output button's port writes, and the reads of Set and of the lamps."""
from console import Access

WHITE, BLACK = "white", "black"
RED, LIME, YELLOW = "red", "lime", "yellow"
COLOUR_NAMES = {(255, 255, 255): WHITE, (0, 0, 0): BLACK, (255, 0, 0): RED,
                (0, 255, 0): LIME, (255, 255, 0): YELLOW}

DATA, STATUS, CONTROL = 0, 1, 2  # register offsets from the base address

INPUTS = ["DI%d" % n for n in range(1, 6)]
OUTPUTS = ["DO%d" % n for n in range(1, 13)]
LAMPS = INPUTS + OUTPUTS

# Inputs: lit (red) while their status bit is clear.
_INPUT_BITS = {"DI1": 0x40, "DI2": 0x80, "DI3": 0x20, "DI4": 0x10, "DI5": 0x08}

# Outputs: register, bit, lit when the bit is set (else when clear), colour.
_OUTPUT_LINES = {
    "DO1": (CONTROL, 0x01, False, LIME),
    "DO2": (DATA, 0x01, True, LIME),
    "DO3": (DATA, 0x02, True, YELLOW),
    "DO4": (DATA, 0x04, True, YELLOW),
    "DO5": (DATA, 0x08, True, RED),
    "DO6": (DATA, 0x10, True, RED),
    "DO7": (DATA, 0x20, True, RED),
    "DO8": (DATA, 0x40, True, RED),
    "DO9": (DATA, 0x80, True, YELLOW),
    "DO10": (CONTROL, 0x02, False, YELLOW),
    "DO11": (CONTROL, 0x04, True, LIME),
    "DO12": (CONTROL, 0x08, False, LIME),
}


def lamp_colours(data, status, control):
    """Every lamp's colour for these register values."""
    registers = {DATA: data, STATUS: status, CONTROL: control}
    colours = {name: BLACK if status & bit else RED for name, bit in _INPUT_BITS.items()}
    for name, (register, bit, lit_when_set, colour) in _OUTPUT_LINES.items():
        lit = bool(registers[register] & bit) == lit_when_set
        colours[name] = colour if lit else BLACK
    return colours


def input_colours(lit):
    """Input lamps: those named in `lit` red, the others black."""
    return {name: RED if name in lit else BLACK for name in INPUTS}


# Each output button's writes for "on" (first click) and "off" (second).
OUTPUT_WRITES = {
    1: ([(DATA, 0), (CONTROL, 10)], [(CONTROL, 11)]),
    2: ([(CONTROL, 11), (DATA, 1)], [(DATA, 0)]),
    **{n: ([(DATA, 0), (DATA, 1 << (n - 2))], [(DATA, 0)]) for n in range(3, 10)},
    10: ([(DATA, 0), (CONTROL, 9)], [(CONTROL, 11)]),
    11: ([(DATA, 0), (CONTROL, 15)], [(CONTROL, 11)]),
    12: ([(DATA, 11), (CONTROL, 3), (DATA, 0)], [(CONTROL, 11)]),
}


def output_writes(n, on, base):
    return [Access(True, base + offset, value) for offset, value in OUTPUT_WRITES[n][0 if on else 1]]


def apply_writes(registers, writes, base):
    """The registers after these writes."""
    result = dict(registers)
    for access in writes:
        result[{DATA: "data", CONTROL: "control"}[access.port - base]] = access.value
    return result


# One repaint of the lamps: one read per lamp, DI1..DI5 then DO1..DO12.
LAMP_READS = [STATUS] * 5 + [CONTROL] + [DATA] * 8 + [CONTROL] * 3
SET_READS = [DATA, STATUS, CONTROL]


def check_reads_after_set(accesses, base):
    """None when the log is Set's three reads followed by nothing but lamp
    repaints (the last one possibly cut short); else what is wrong."""
    ports = [a.port - base if not a.write else None for a in accesses]
    if ports[:3] != SET_READS:
        return "Set's reads: expected %s, got %s" % (
            ", ".join("R 0x%04X" % (base + o) for o in SET_READS),
            ", ".join(str(a) for a in accesses[:3]) or "nothing")
    for i, offset in enumerate(ports[3:]):
        if offset != LAMP_READS[i % len(LAMP_READS)]:
            return "access %d after Set is %s, not a read of 0x%04X as the lamps' order has it" % (
                i, accesses[3 + i], base + LAMP_READS[i % len(LAMP_READS)])
    if len(ports) - 3 < len(LAMP_READS):
        return "no complete repaint of the lamps after Set"
    return None
