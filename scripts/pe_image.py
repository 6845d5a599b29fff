"""What our release checks read from a Windows program (PE file): the Windows
versions its header asks for, the functions it imports, and its resources."""
import struct

MACHINES = {0x14C: "i386", 0x8664: "x86_64"}
RT_VERSION = 16
RT_MANIFEST = 24


class PeError(Exception):
    """The file is not a Windows program we can read."""


class PeImage:
    def __init__(self, path):
        self.path = str(path)
        with open(path, "rb") as f:
            self.data = f.read()
        if self.data[:2] != b"MZ" or len(self.data) < 64:
            raise PeError(f"{self.path}: not a Windows program (no MZ header)")
        pe = self._u32(60)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise PeError(f"{self.path}: not a Windows program (no PE header)")
        self.machine = MACHINES.get(self._u16(pe + 4), hex(self._u16(pe + 4)))
        sections = self._u16(pe + 6)
        optional = pe + 24
        self.optional_header = optional  # file offset of the optional header
        magic = self._u16(optional)
        if magic not in (0x10B, 0x20B):
            raise PeError(f"{self.path}: unknown optional header {magic:#x}")
        wide = magic == 0x20B  # PE32+: 64-bit fields move the directory table
        self.os_version = (self._u16(optional + 40), self._u16(optional + 42))
        self.subsystem_version = (self._u16(optional + 48), self._u16(optional + 50))
        self.subsystem = self._u16(optional + 68)  # 2: a windowed program, 3: a console program
        directories = optional + (112 if wide else 96)
        count = self._u32(directories - 4)
        self._directories = [
            (self._u32(directories + 8 * i), self._u32(directories + 8 * i + 4))
            for i in range(count)]
        table = optional + self._u16(pe + 20)
        self._sections = []
        for i in range(sections):
            s = table + 40 * i
            virtual_size, address, raw_size, raw_offset = struct.unpack_from("<IIII", self.data, s + 8)
            self._sections.append((address, max(virtual_size, raw_size), raw_offset))
        self._thunk = 8 if wide else 4

    def _u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def _u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def _offset(self, rva):
        for address, size, raw in self._sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise PeError(f"{self.path}: address {rva:#x} lies in no section")

    def _string(self, rva):
        start = self._offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def _directory(self, index):
        return self._directories[index] if index < len(self._directories) else (0, 0)

    def imports(self):
        """[(dll, function)] in the order of the import table; functions
        imported by ordinal are given as "#<ordinal>"."""
        if self._directory(13)[0]:
            raise PeError(f"{self.path}: has delay-loaded imports, which this check doesn't read")
        rva, _ = self._directory(1)
        found = []
        while rva:
            lookup, _, _, name, bound = struct.unpack_from("<IIIII", self.data, self._offset(rva))
            if not (lookup or name or bound):
                break
            dll = self._string(name)
            thunk = self._offset(lookup or bound)
            ordinal_flag = 1 << (8 * self._thunk - 1)
            while True:
                entry = int.from_bytes(self.data[thunk:thunk + self._thunk], "little")
                if entry == 0:
                    break
                if entry & ordinal_flag:
                    found.append((dll, f"#{entry & 0xFFFF}"))
                else:
                    found.append((dll, self._string(entry + 2)))  # after the 16-bit hint
                thunk += self._thunk
            rva += 20
        return found

    def resource(self, kind, ident):
        """The bytes of resource `ident` of type `kind` (numeric ids), in its
        first language, or None."""
        root, _ = self._directory(2)
        if not root:
            return None
        base = self._offset(root)
        entry = 0  # the root directory: types, then ids, then languages
        for wanted in (kind, ident, None):
            entry = self._entry(base, entry, wanted)
            if entry is None:
                return None
        data_rva, size = struct.unpack_from("<II", self.data, base + entry)
        start = self._offset(data_rva)
        return self.data[start:start + size]

    def _entry(self, base, directory, ident):
        """Offset (from the resource root) of the entry `ident` of a resource
        directory, or of its first entry when `ident` is None."""
        named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
            if ident is None or (not name & 0x80000000 and name == ident):
                return target & 0x7FFFFFFF
        return None
