#!/usr/bin/env python3
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
"""Generates the C++ record classes from idl/cirra.thrift.

The stock C++ generator of Thrift 0.17 gives a struct an `__isset` flag only
for its non-required fields, while our records carry one flag per field that
`read` sets for every field it read. We therefore generate from a copy of the
IDL without the `required` qualifiers (so every field gets its flag and all
the copy/move/swap plumbing for it) and put the requiredness check back into
each `read`: a local seen flag per required field and a
TProtocolException(INVALID_DATA) after the struct end when one is missing,
which is exactly what the generator itself emits for required fields.

The generated header is also made usable from code built with
-fno-exceptions: Thrift's protocol and transport headers throw in inline
functions, so without exceptions the header takes a copy of `TBase`, cut
token for token out of the installed <thrift/TBase.h>, instead of them.

Every record class and its free functions carry the library's export macro,
since the records are compiled with hidden visibility into a shared library.

Every rewrite must match exactly as often as expected; if a newer generator
emits other code, the build stops here instead of producing records that
silently skip a check.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

STRUCT_RE = re.compile(r"^\s*struct\s+(\w+)\s*\{(.*?)^\}", re.S | re.M)
REQUIRED_RE = re.compile(r"^\s*\d+\s*:\s*required\s+[\w<>,\s]+?\s(\w+)\s*$", re.M)


def fail(message):
    sys.stderr.write("gen_cirra.py: error: %s\n" % message)
    sys.exit(1)


def strip_comments(text):
    return re.sub(r"//[^\n]*", "", text)


def required_fields(idl_text):
    result = {}
    for name, body in STRUCT_RE.findall(strip_comments(idl_text)):
        result[name] = REQUIRED_RE.findall(body)
    return result


def replace_once(text, old, new, what):
    count = text.count(old)
    if count != 1:
        fail("%s: expected 1 match, found %d" % (what, count))
    return text.replace(old, new)


def patch_read(source, struct, fields):
    start_marker = "uint32_t %s::read(::apache::thrift::protocol::TProtocol* iprot) {\n" % struct
    start = source.find(start_marker)
    if start < 0:
        fail("no read() for %s" % struct)
    end = source.find("\n}\n", start)
    body = source[start:end]

    decls = "".join("  bool isset_%s = false;\n" % f for f in fields)
    body = replace_once(body, "  xfer += iprot->readStructBegin(fname);\n",
                        "  xfer += iprot->readStructBegin(fname);\n" + decls,
                        "%s::read struct begin" % struct)
    for f in fields:
        body = replace_once(body, "this->__isset.%s = true;\n" % f,
                            "this->__isset.%s = true;\n          isset_%s = true;\n" % (f, f),
                            "%s::read field %s" % (struct, f))
    checks = "".join(
        "  if (!isset_%s)\n    throw ::apache::thrift::protocol::TProtocolException("
        "::apache::thrift::protocol::TProtocolException::INVALID_DATA);\n" % f for f in fields)
    body = replace_once(body, "  xfer += iprot->readStructEnd();\n",
                        "  xfer += iprot->readStructEnd();\n" + checks,
                        "%s::read struct end" % struct)
    return source[:start] + body + source[end:]


def tbase_copy(tbase_header):
    with open(tbase_header, encoding="utf-8") as f:
        text = f.read()
    match = re.search(r"namespace apache \{\s*namespace thrift \{\s*(class TBase \{.*?\n\};)", text, re.S)
    if not match:
        fail("cannot find class TBase in %s" % tbase_header)
    return match.group(1)


def patch_header(header, tbase_class):
    includes = ("#include <thrift/TApplicationException.h>\n"
                "#include <thrift/TBase.h>\n"
                "#include <thrift/protocol/TProtocol.h>\n"
                "#include <thrift/transport/TTransport.h>\n")
    fallback = ("#if defined(__EXCEPTIONS) || defined(__cpp_exceptions)\n" + includes +
                "#elif !defined(_THRIFT_TBASE_H_)\n"
                "// Built without exceptions: Thrift's protocol headers cannot be compiled,\n"
                "// and the records only need the base class and a declared protocol.\n"
                "#define _THRIFT_TBASE_H_ 1\n"
                "namespace apache { namespace thrift {\n"
                "namespace protocol { class TProtocol; }\n" + tbase_class + "\n"
                "} }\n"
                "#endif\n")
    return replace_once(header, includes, fallback, "header includes")


def add_exports(header, structs, macro, export_header):
    """Marks every record class and its swap/operator<< with the export macro."""
    for pattern, replacement, what in (
            (r"^class (\w+) : public virtual ::apache::thrift::TBase \{",
             r"class %s \1 : public virtual ::apache::thrift::TBase {" % macro, "record classes"),
            (r"^void swap\((\w+) &a, \1 &b\);", r"%s void swap(\1 &a, \1 &b);" % macro, "swap"),
            (r"^std::ostream& operator<<\(std::ostream& out, const (\w+)& obj\);",
             r"%s std::ostream& operator<<(std::ostream& out, const \1& obj);" % macro, "operator<<")):
        header, count = re.subn(pattern, replacement, header, flags=re.M)
        if count != len(structs):
            fail("%s: expected %d matches, found %d" % (what, len(structs), count))
    return replace_once(header, "#include <iosfwd>\n",
                        "#include <iosfwd>\n\n#include \"%s\"\n" % export_header, "export header include")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--thrift", required=True)
    parser.add_argument("--idl", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--tbase-header", required=True)
    parser.add_argument("--export-macro", required=True)
    parser.add_argument("--export-header", required=True)
    args = parser.parse_args()

    with open(args.idl, encoding="utf-8") as f:
        idl_text = f.read()
    required = required_fields(idl_text)
    base = os.path.splitext(os.path.basename(args.idl))[0]
    os.makedirs(args.out, exist_ok=True)

    with tempfile.TemporaryDirectory() as tmp:
        stripped = os.path.join(tmp, os.path.basename(args.idl))
        with open(stripped, "w", encoding="utf-8") as f:
            f.write(re.sub(r"(\d+\s*:\s*)required\s+", r"\1", idl_text))
        subprocess.run([args.thrift, "--gen", "cpp:no_skeleton,moveable_types",
                        "-out", tmp, stripped], check=True)
        with open(os.path.join(tmp, base + "_types.h"), encoding="utf-8") as f:
            header = f.read()
        with open(os.path.join(tmp, base + "_types.cpp"), encoding="utf-8") as f:
            source = f.read()

    for struct, fields in sorted(required.items()):
        if fields:
            source = patch_read(source, struct, fields)
    header = patch_header(header, tbase_copy(args.tbase_header))
    header = add_exports(header, required, args.export_macro, args.export_header)

    for name, text in ((base + "_types.h", header), (base + "_types.cpp", source)):
        with open(os.path.join(args.out, name), "w", encoding="utf-8") as f:
            f.write(text)

if __name__ == "__main__":
    main()
