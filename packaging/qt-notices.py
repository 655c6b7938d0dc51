#!/usr/bin/env python3
"""The notices for what a static Tessarin.exe carries of other people's code.

  qt-notices.py collect QT_SOURCE BUILD_NINJA NINJA_DEPS OUT_DIR
      Run once after Qt for Windows is built (scripts/qt-windows.sh): keeps
      every qt_attribution.json entry of Qt's source with its licence texts, and
      for each one the Qt libraries whose compiled sources (and the headers and
      files they include) lie in what the entry covers; and Qt's own licences.

  qt-notices.py write QT_PREFIX LINK_MAP TESSARIN_BUILD SOURCE_ARCHIVE OUT_FILE
      Run after Tessarin.exe is linked: from the linker's map, the Qt
      libraries and the compiler's runtime that went into the program, and for
      them the notice: the credits their licences ask for, Qt under the LGPL
      with its source (in the source archive published beside the packages)
      and how to relink, each third-party component that those libraries were
      built from, the runtime's copyright files, and the LGPL and GPL texts.
"""
import json
import os
import re
import subprocess
import sys
import textwrap


COMPILED = (".c", ".cc", ".cpp", ".cxx")
# The sentence that a licence asks for in the documentation of a program that
# uses its code, by the licence's SPDX id.
CREDITS = {
    "IJG": "This software is based in part on the work of the Independent JPEG Group.",
    "FTL": "Portions of this software are copyright \u00a9 {year} The FreeType Project"
           " (www.freetype.org). All rights reserved.",
}


def fail(message):
    sys.exit(f"qt-notices: {message}")


def read_text(path):
    with open(path, encoding="utf-8", errors="replace") as file:
        return file.read()


def static_libraries(build_ninja):
    """Maps each object file of a static library to the library's file name."""
    owner = {}
    rule = re.compile(r"^build ([^:]+\.a): \S*STATIC_LIBRARY_LINKER\S* (.*)$")
    with open(build_ninja, encoding="utf-8") as file:
        for line in file:
            found = rule.match(line)
            if not found:
                continue
            library = os.path.basename(found.group(1))
            for word in found.group(2).split():
                if word in ("|", "||"):
                    break
                owner[word] = library
    return owner


def compiled_sources(ninja_deps, build_dir, source, owner):
    """Maps each library to the files of Qt's source that its objects were built from."""
    sources = {}
    library = None
    header = re.compile(r"^(\S.*): #deps")
    with open(ninja_deps, encoding="utf-8", errors="replace") as file:
        for line in file:
            found = header.match(line)
            if found:
                library = owner.get(found.group(1))
                continue
            path = line.strip()
            if library is None or not path:
                continue
            path = os.path.normpath(os.path.join(build_dir, path))
            if path.startswith(source + os.sep):
                sources.setdefault(library, set()).add(os.path.relpath(path, source))
    return sources


def as_list(value):
    if value is None:
        return []
    # A list, or names in one text, apart by blanks or commas.
    return value if isinstance(value, list) else value.replace(",", " ").split()


def collect(source, build_ninja, ninja_deps, out):
    source = os.path.realpath(source)
    owner = static_libraries(build_ninja)
    if not owner:
        fail(f"no static library in {build_ninja}")
    sources = compiled_sources(ninja_deps, os.path.dirname(os.path.realpath(build_ninja)),
                               source, owner)
    entries = []
    for folder, _, files in sorted(os.walk(source)):
        if "qt_attribution.json" not in files:
            continue
        base = os.path.relpath(folder, source)
        # Qt's files carry line breaks inside strings, which strict JSON refuses.
        data = json.loads(read_text(os.path.join(folder, "qt_attribution.json")), strict=False)
        for entry in data if isinstance(data, list) else [data]:
            named = as_list(entry.get("Files")) or as_list(entry.get("Path"))
            covered = [os.path.normpath(os.path.join(base, f)) for f in named or ["."]]
            # A whole folder is used where a file compiled from it is, not a
            # header that every module includes (QHash's, beside SipHash's code).
            used_by = sorted(library for library, built in sources.items()
                             if any(f == place or f.startswith(place + os.sep)
                                    for f in built for place in covered
                                    if named or f.endswith(COMPILED)))
            texts = []
            for name in as_list(entry.get("LicenseFiles")) + as_list(entry.get("LicenseFile")) \
                    + as_list(entry.get("CopyrightFile")):
                path = os.path.join(folder, name)
                if not os.path.isfile(path):
                    fail(f"{base}/qt_attribution.json names {name}, which is not there")
                texts.append(read_text(path))
            entries.append({
                "id": entry.get("Id", ""), "name": entry.get("Name", ""),
                "version": entry.get("Version", ""), "homepage": entry.get("Homepage", ""),
                "license": entry.get("License", ""), "licenseId": entry.get("LicenseId", ""),
                "copyright": entry.get("Copyright", ""),
                "texts": texts, "usedBy": used_by})
    os.makedirs(os.path.join(out, "LICENSES"), exist_ok=True)
    for name in os.listdir(os.path.join(source, "LICENSES")):
        with open(os.path.join(out, "LICENSES", name), "w", encoding="utf-8") as file:
            file.write(read_text(os.path.join(source, "LICENSES", name)))
    with open(os.path.join(out, "attributions.json"), "w", encoding="utf-8") as file:
        json.dump({"libraries": sorted(set(owner.values())), "entries": entries}, file, indent=1)


def linked_files(link_map):
    """The archives that gave the program at least one member, and the objects it loaded."""
    archives, objects = set(), set()
    for line in read_text(link_map).splitlines():
        found = re.match(r"^(/\S+\.a)\(", line)
        if found:
            archives.add(os.path.realpath(found.group(1)))
        found = re.match(r"^LOAD (/\S+\.(?:obj|o))$", line)
        if found:
            objects.add(os.path.realpath(found.group(1)))
    return archives, objects


def debian_package(path):
    answer = subprocess.run(["dpkg-query", "-S", path], capture_output=True, text=True)
    if answer.returncode != 0:
        fail(f"{path} belongs to no Debian package: whose is it, and what is its licence?")
    package = answer.stdout.split(":")[0]
    version = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                             capture_output=True, text=True, check=True).stdout
    return package, version


def indented(text):
    """A text of others, set off from this file's own headings and fields."""
    return "".join(f"    {line}".rstrip() + "\n" for line in text.strip().splitlines())


def heading(text, rule="="):
    return f"{text}\n{rule * len(text)}\n"


def copyright_of(entry):
    """An entry's copyright lines: one text, or in newer Qt a list of lines."""
    copyright = entry["copyright"]
    return "\n".join(copyright) if isinstance(copyright, list) else copyright


def credits(entries, qt):
    """The credits the licences of the components in the program ask for."""
    lines = []
    for entry in entries:
        for licence, sentence in CREDITS.items():
            if licence not in re.split(r"[^\w.-]+", entry["licenseId"]):
                continue
            years = re.findall(r"\b(?:19|20)\d\d\b", copyright_of(entry))
            if "{year}" in sentence and not years:
                fail(f"{entry['name']} is under {licence}, whose credit needs the year,"
                     " and its attribution gives none")
            where = ", ".join(sorted(set(entry["usedBy"]) & set(qt)))
            text = f"{entry['name']}, in {where}: " + sentence.format(year=years[-1] if years else "")
            lines.append(textwrap.fill(text, 76, initial_indent="- ", subsequent_indent="  "))
    return lines


def linked(prefix, link_map, tessarin_build):
    """What the linker took: Qt's archives, and the rest by Debian package."""
    with open(os.path.join(prefix, "notices", "attributions.json"), encoding="utf-8") as file:
        attributions = json.load(file)
    archives, objects = linked_files(link_map)
    qt = sorted(os.path.basename(a) for a in archives if a.startswith(prefix + os.sep))
    unknown = [a for a in qt if a not in attributions["libraries"]]
    if unknown:
        fail(f"no attributions were kept for {', '.join(unknown)}: build Qt anew"
             " with scripts/qt-windows.sh")
    runtime = {}
    for path in sorted(archives | objects):
        if path.startswith((prefix + os.sep, tessarin_build + os.sep)):
            continue
        runtime.setdefault(debian_package(path), []).append(os.path.basename(path))
    used = [e for e in attributions["entries"] if set(e["usedBy"]) & set(qt)]
    return qt, used, runtime


def qt_source(prefix):
    """The source package Qt was built from: its description's name and fields."""
    dsc = [f for f in sorted(os.listdir(os.path.join(prefix, "source"))) if f.endswith(".dsc")]
    if len(dsc) != 1:
        fail(f"{prefix}/source holds {len(dsc)} source descriptions, not one")
    fields = dict(re.findall(r"^(Source|Version): (\S+)$",
                             read_text(os.path.join(prefix, "source", dsc[0])), re.M))
    return dsc[0], fields


def introduction(used, qt, source_archive):
    return [heading("Tessarin.exe: the other people's code it carries"), f"""
Tessarin itself is under the MIT licence: LICENSE.txt, beside this file.
Tessarin.exe also holds, linked statically, the code named below. Each part
keeps its own licence, whose text follows it.

The source of Tessarin and of the Qt it holds is in
{source_archive}, published beside this package.

The licences of these parts ask for these credits:
""" + "\n".join(credits(used, qt)) + "\n\n"]


def qt_part(prefix, qt, source_archive):
    modules = [m.group(1) for m in (re.match(r"libQt6(\w+)\.a$", a) for a in qt)
               if m and not m.group(1).startswith("Bundled")]
    plugins = [a[3:-2] for a in qt if not a.startswith("libQt6")]
    dsc, fields = qt_source(prefix)
    return [heading(f"1. Qt {fields['Version'].split('+')[0]}", "-"), f"""
Tessarin.exe uses the Qt toolkit under the GNU Lesser General Public License
version 3 (LGPL-3.0), which builds on the GNU General Public License version 3;
both texts are at the end of this file. Qt is copyright (C) The Qt Company Ltd.
and other contributors.

Qt modules in Tessarin.exe: {', '.join(modules)}.
Qt plugins in Tessarin.exe: {', '.join(plugins)}.

{textwrap.fill(
        f"The source of this Qt is Debian's {fields['Source']} source package, version "
        f"{fields['Version']}: {dsc} and the files it names, configured by "
        "qt-windows-features.cmake with mingw-w64-x86_64.cmake. Those files are in the "
        f"folder qt6-base of {source_archive}, where `dpkg-source -x {dsc}` unpacks "
        "the source and checks it.", 76)}

To use Tessarin.exe with a Qt of your own, or a changed one, build Tessarin
from its source, the folder tessarin of that archive, which is under the MIT
licence, against that Qt: its docs/windows.md shows the commands. Nothing in
Tessarin stops you from doing so, or from reverse-engineering it to debug such
changes.

"""]


def third_party_part(used, qt):
    parts = [heading("2. Third-party code inside Qt", "-"), """
What Qt built into the libraries above from the code of others, as Qt's own
attribution files (qt_attribution.json) describe it.

"""]
    for entry in used:
        title = entry["name"] + (f" {entry['version']}" if entry["version"] else "")
        parts.append(heading(title, "~"))
        parts.append(f"In: {', '.join(sorted(set(entry['usedBy']) & set(qt)))}\n")
        if entry["homepage"]:
            parts.append(f"Home page: {entry['homepage']}\n")
        parts.append(f"Licence: {entry['license']} ({entry['licenseId']})\n")
        for text in ([copyright_of(entry)] if entry["copyright"] else []) + entry["texts"]:
            parts.append("\n" + indented(text))
        parts.append("\n")
    return parts


def runtime_part(runtime):
    parts = [heading("3. The compiler's runtime", "-"), """
The MinGW-w64 runtime and GCC's runtime libraries, linked in so that
Tessarin.exe needs no DLL beside it, as Debian packages them, with each
package's copyright file.

"""]
    shown = {}
    for (package, version), files in sorted(runtime.items()):
        parts.append(heading(f"{package} {version}", "~"))
        parts.append(f"In: {', '.join(files)}\n\n")
        copyright_file = f"/usr/share/doc/{package}/copyright"
        if not os.path.isfile(copyright_file):
            fail(f"{package} carries no {copyright_file}")
        text = read_text(copyright_file)
        if text in shown:
            parts.append(f"    The same copyright file as {shown[text]}'s, above.\n\n")
        else:
            shown[text] = package
            parts.append(indented(text) + "\n")
    return parts


def licence_texts(prefix):
    parts = [heading("4. Licence texts", "-") + "\n"]
    for name in ("LGPL-3.0-only.txt", "GPL-3.0-only.txt"):
        parts.append(heading(name[:-4], "~") + "\n")
        parts.append(indented(read_text(os.path.join(prefix, "notices", "LICENSES", name))) + "\n")
    return parts


def write(prefix, link_map, tessarin_build, source_archive, out):
    prefix = os.path.realpath(prefix)
    qt, used, runtime = linked(prefix, link_map, os.path.realpath(tessarin_build))
    parts = (introduction(used, qt, source_archive) + qt_part(prefix, qt, source_archive)
             + third_party_part(used, qt) + runtime_part(runtime) + licence_texts(prefix))
    with open(out, "w", encoding="utf-8") as file:
        file.write("".join(parts))


if __name__ == "__main__":
    if len(sys.argv) == 6 and sys.argv[1] == "collect":
        collect(*sys.argv[2:])
    elif len(sys.argv) == 7 and sys.argv[1] == "write":
        write(*sys.argv[2:])
    else:
        fail(__doc__)
