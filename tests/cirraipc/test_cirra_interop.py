#!/usr/bin/env python3
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
"""Interoperability of the C++ records with an independent Thrift runtime.

Python classes generated from the same IDL (thrift --gen py, at build time)
write every record, the C++ side (cirra_interop) reads and writes it back,
and both byte streams and decoded values must agree. Also: C++ defaults as
Python reads them and the wire envelope (a missing required field is a row of
tst_kcirracodec's read failures).

usage: test_cirra_interop.py --helper PATH
"""
import argparse
import struct
import subprocess
import sys
import unittest

from thrift.Thrift import TType
from thrift.TSerialization import deserialize, serialize

from cirra import ttypes

ARGS = None
RECORDS = ["CirraIpcArg", "CirraIpcResult", "GetStorageInfoArg", "GetStorageInfoResult", "UserAcl",
           "CloudItem", "GetCloudFileInfoArg", "GetCloudFileInfoResult", "ServerErrorInfo",
           "NotifyWebPageEventArg", "NotifyActionsMapArg", "NotifyOpenCloudLocationActionArg"]


def sample_value(ttype, type_args, fid):
    """A non-default value for a field of type `ttype`, derived from its id."""
    if ttype == TType.STRING:
        return "f%d-\u00e9\u6587" % fid
    if ttype == TType.I32:
        return -1000 * fid - 7
    if ttype == TType.I64:
        return (1 << 40) + fid
    if ttype == TType.BOOL:
        return fid % 2 == 1
    if ttype == TType.DOUBLE:
        return fid + 0.25
    if ttype == TType.MAP:
        # Key order as std::map writes it, so the bytes can match exactly.
        return dict(sorted({"": "empty key", "k%d" % fid: "v", "\u00fc": "\u00e4"}.items()))
    if ttype == TType.LIST:
        return ["a%d" % fid, "", "\u00df"]
    if ttype == TType.STRUCT:
        return sample_record(type_args[0])
    raise AssertionError("unexpected type %d" % ttype)


def sample_record(cls):
    record = cls()
    for entry in cls.thrift_spec:
        if entry is None:
            continue
        fid, ttype, name, type_args, _ = entry
        setattr(record, name, sample_value(ttype, type_args, fid))
    return record


def run_helper(*args, data=b""):
    result = subprocess.run([ARGS.helper] + list(args), input=data, capture_output=True, timeout=30)
    return result.returncode, result.stdout, result.stderr.decode("utf-8", "replace")


class Interop(unittest.TestCase):
    def test_python_bytes_survive_a_cpp_round_trip(self):
        for name in RECORDS:
            with self.subTest(record=name):
                cls = getattr(ttypes, name)
                record = sample_record(cls)
                data = serialize(record)
                code, out, err = run_helper("echo", name, data=data)
                self.assertEqual(code, 0, err)
                self.assertEqual(out, data)
                self.assertEqual(deserialize(cls(), out), record)

    def test_cpp_defaults_write_every_field(self):
        for name in RECORDS:
            with self.subTest(record=name):
                cls = getattr(ttypes, name)
                code, out, err = run_helper("default", name)
                self.assertEqual(code, 0, err)
                decoded = deserialize(cls(), out)
                for entry in cls.thrift_spec:
                    if entry is not None:
                        self.assertIsNotNone(getattr(decoded, entry[2]), entry[2])
                decoded.validate()

    def test_envelope(self):
        arg = ttypes.CirraIpcArg(nameSpace="", method="showTransferHelperDlg", argMap={"src": "crossterminalpanel"})
        frame = ttypes.CirraFrame(call=ttypes.CirraCall(requestId="py-1", functionName="cirraIpcCall",
                                                        recordType="CirraIpcArg", record=serialize(arg)))
        payload = serialize(frame)
        data = struct.pack(">I", len(payload)) + payload
        code, out, err = run_helper("frame", data=data)
        self.assertEqual(code, 0, err)
        self.assertEqual(out, data)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--helper", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)
