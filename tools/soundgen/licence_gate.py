#!/usr/bin/env python3
# Refuses any input whose licence the bank cannot carry: the input table names each
# file's licence and where it is documented, and the file's own tags overrule it.
# Usage: licence_gate.py INPUTS.tsv INPUT_ROOT   (exit 1 naming every refused input)
import json
import re
import subprocess
import sys

# Licences a GPL-3.0-or-later program may embed, as the input table spells them.
ACCEPTED = {'CC0-1.0', 'public-domain', 'CC-BY-3.0', 'CC-BY-4.0', 'GPL-2.0-or-later',
            'GPL-3.0-or-later', 'MIT', 'BSD-2-Clause', 'BSD-3-Clause'}

# Tag wording that makes a file unusable whatever the table says: share-alike,
# non-commercial, no-derivatives, the documentation licence, or GPL version 2 alone.
REFUSED_IN_TAGS = [
    (re.compile(r'\b(by-)?sa\b|share[\s-]?alike', re.I), 'share-alike'),
    (re.compile(r'\bnc\b|non[\s-]?commercial', re.I), 'non-commercial'),
    (re.compile(r'\bnd\b|no[\s-]?deriv', re.I), 'no-derivatives'),
    (re.compile(r'gfdl|free documentation licen', re.I), 'GFDL'),
    (re.compile(r'\bgpl[\s-]?v?2(\.0)?[\s-]*only\b|\bgpl[\s-]?v?2(\.0)?\b(?![\s.-]*(\+|or[\s-]*later|\d))',
                re.I), 'GPL-2 only'),
]

# How tags name a licence family, to catch a table that disagrees with the file.
TAG_FAMILIES = [
    (re.compile(r'\bcc0\b|public domain', re.I), 'CC0'),
    (re.compile(r'\bcc[\s-]?by\b|creative commons attribution', re.I), 'CC-BY'),
    (re.compile(r'\bgpl\b|general public licen', re.I), 'GPL'),
]


def family(licence):
    if licence in ('CC0-1.0', 'public-domain'):
        return 'CC0'
    return 'CC-BY' if licence.startswith('CC-BY') else licence.split('-')[0]


# A SoundFont holds no audio tags: its licence is its package's copyright file alone.
UNTAGGED_KINDS = ('.sf2',)


def read_tags(path):
    """Every tag of the file's container and streams, as 'key=value' lines."""
    if path.endswith(UNTAGGED_KINDS):
        with open(path, 'rb'):
            return []
    run = subprocess.run(['ffprobe', '-v', 'error', '-show_entries', 'format_tags:stream_tags',
                          '-of', 'json', path], capture_output=True, text=True)
    if run.returncode != 0:
        raise OSError(f'cannot read the tags of {path}: {run.stderr.strip()}')
    info = json.loads(run.stdout or '{}')
    sections = [info.get('format', {})] + info.get('streams', [])
    return [f'{k}={v}' for s in sections for k, v in s.get('tags', {}).items()]


def verdict(path, licence):
    """None when the input may be used, else the reason it may not."""
    if licence not in ACCEPTED:
        return f'its documented licence {licence} is not one the bank accepts'
    tags = read_tags(path)
    text = '\n'.join(tags)
    for pattern, what in REFUSED_IN_TAGS:
        if pattern.search(text):
            return f'its tags say {what}: {"; ".join(tags)}'
    named = {fam for pattern, fam in TAG_FAMILIES if pattern.search(text)}
    if named and family(licence) not in named:
        return f'the table says {licence} but its tags say {", ".join(sorted(named))}'
    return None


def rows(table):
    with open(table, encoding='utf-8') as f:
        for line in f:
            if line.strip() and not line.startswith('#'):
                yield line.rstrip('\n').split('\t')


def main():
    table, root = sys.argv[1], sys.argv[2]
    refused = 0
    for path, _package, licence, *_ in rows(table):
        try:
            why = verdict(f'{root}/{path}', licence)
        except OSError as e:
            why = f'it cannot be read ({e})'
        if why:
            print(f'refused: {path}: {why}', file=sys.stderr)
            refused += 1
    sys.exit(1 if refused else 0)


if __name__ == '__main__':
    main()
