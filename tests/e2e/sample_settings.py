"""TolvSet.xml as the settings program saves it: the shipped default with chosen values and hotkeys."""
import re
from pathlib import Path

TEMPLATE = Path(__file__).resolve().parents[2] / "common" / "settings" / "DefaultSettings.xml.in"


def settings_xml(general=None, hotkeys=None):
    """general: {"AutoRun": 1, ...}; hotkeys: {"LauncherOpen": ("7", {"CTRL": 1}), ...} (key, modifiers)."""
    text = TEMPLATE.read_text(encoding="utf-8").replace("\n", "\r\n")
    for name, value in (general or {}).items():
        text, count = re.subn(f"<{name}>[^<]*</{name}>", f"<{name}>{value}</{name}>", text)
        assert count == 1, name
    for name, (key, modifiers) in (hotkeys or {}).items():
        fields = [(flag, int(modifiers.get(flag, 0))) for flag in ("ALT", "SHIFT", "CTRL", "WIN")]
        inner = "".join(f"\r\n\t\t\t\t<{flag}>{value}</{flag}>" for flag, value in fields)
        inner += f"\r\n\t\t\t\t<HOTCHAR>{key}</HOTCHAR>\r\n\t\t\t"
        text, count = re.subn(f"<{name}></{name}>", f"<{name}>{inner}</{name}>", text)
        assert count == 1, name
    return b"\xff\xfe" + text.encode("utf-16-le")
