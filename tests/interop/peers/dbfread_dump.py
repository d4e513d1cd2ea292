"""Prints a DBF table (with its DBT or FPT memo file) as dbfread reads it, in
the canonical text form of the interoperability tests (README.md).

Usage: dbfread_dump.py TABLE.dbf
Exit status 0 on success, 2 when dbfread cannot read the table.
"""
import sys

from dbfread import DBF


def escaped(data):
    out = []
    for byte in data:
        if byte == 0x5C:
            out.append('\\\\')
        elif byte == 0x09:
            out.append('\\t')
        elif byte == 0x0D:
            out.append('\\r')
        elif byte == 0x0A:
            out.append('\\n')
        elif 0x20 <= byte <= 0x7E:
            out.append(chr(byte))
        else:
            out.append('\\x%02x' % byte)
    return ''.join(out)


def value_text(field, value):
    kind = field.type
    if kind in 'CM':
        if value is None:
            return ''
        # latin-1 maps every byte to one character and back.
        return escaped(value.encode('latin-1'))
    if kind == 'N':
        return 'null' if value is None else '%.*f' % (field.decimal_count, value)
    if kind == 'D':
        if value is None:
            return 'null'
        return '%04d%02d%02d' % (value.year, value.month, value.day)
    if kind == 'L':
        return '?' if value is None else ('T' if value else 'F')
    return 'unsupported type ' + kind


def record_line(flag, fields, record):
    values = [value_text(field, record[field.name]) for field in fields]
    return '\t'.join([flag] + values)


def main(path):
    table = DBF(path, encoding='latin-1', char_decode_errors='strict')
    lines = ['\t'.join('%s:%s:%d:%d' % (f.name, f.type, f.length, f.decimal_count)
                       for f in table.fields)]
    lines += [record_line('.', table.fields, r) for r in table.records]
    lines += [record_line('*', table.fields, r) for r in table.deleted]
    sys.stdout.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    try:
        main(sys.argv[1])
    except Exception as error:  # any failure to read is the peer's verdict
        sys.stderr.write('dbfread: %s: %r\n' % (type(error).__name__, error))
        sys.exit(2)
