"""Certificates of the tests' own, made with openssl in a folder: an
authority (ca.pem, its DER form ca.der) and certificates it signs."""

import subprocess
from pathlib import Path


def openssl(folder, *args):
    subprocess.run(["openssl", *args], cwd=folder, check=True, capture_output=True, timeout=60)


def make_authority(folder):
    openssl(folder, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem",
            "-days", "3", "-subj", "/CN=Station Test Authority", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl(folder, "x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der")
    return Path(folder, "ca.pem")


def issue(folder, name, subject, extensions):
    """A key (NAME.key) and a certificate (NAME.pem) the authority signed,
    with these extension lines."""
    Path(folder, f"{name}.ext").write_text("\n".join(extensions) + "\n")
    openssl(folder, "req", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{name}.key", "-out", f"{name}.csr",
            "-subj", f"/CN={subject}")
    openssl(folder, "x509", "-req", "-in", f"{name}.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-out", f"{name}.pem", "-days", "3", "-extfile", f"{name}.ext")
    return Path(folder, f"{name}.pem"), Path(folder, f"{name}.key")
