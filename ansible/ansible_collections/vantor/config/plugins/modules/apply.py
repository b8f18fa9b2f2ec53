#!/usr/bin/python
# -*- coding: utf-8 -*-
# Makes a Vantor server's configuration equal to a document, through vantorctl on the managed host.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: apply
short_description: Make a Vantor server's configuration match a document
description:
  - Runs C(vantorctl apply --check) on the managed host to plan the changes that make the
    server's configuration (C(config.vtr) and the delegate restrictions) equal to a
    document written by C(vantorctl dump), then, unless in check mode, C(vantorctl apply).
  - Every resource goes through the same checks as the desktop tool's dialogs; when any is
    refused nothing is written and the task fails with every refusal.
  - Applying the same document again plans nothing and writes nothing, so the task reports
    C(changed) only when the configuration really changed.
  - The data folder and the server's bus are the ones C(vantorctl) chooses on the managed
    host; set C(VANTOR_COMMON_APPDATA) or C(DBUS_SYSTEM_BUS_ADDRESS) through the task's or the
    play's C(environment) to choose others.
version_added: "1.0.0"
author:
  - VantorConfig developers
requirements:
  - C(vantorctl) on the managed host
options:
  document:
    description:
      - Path of the document on the managed host.
      - Exactly one of I(document) and I(content) is required.
    type: path
  content:
    description:
      - The document's text itself, for instance from a C(lookup('file', ...)) or a template
        on the controller.
      - It is written to a private temporary file on the managed host, removed afterwards.
      - Exactly one of I(document) and I(content) is required.
    type: str
  prune:
    description:
      - Delete the resources that the document does not list (with the disconnects that
        deleting them from the tool makes).
      - Without it, resources missing from the document are left alone.
    type: bool
    default: false
  file:
    description:
      - The configuration file to make equal to the document, instead of the machine's own
        (C($VANTOR_COMMON_APPDATA/Quorvane/config.vtr)). A file that does not exist yet starts
        as an empty configuration.
    type: path
  executable:
    description:
      - The C(vantorctl) to run, a path or a name looked up in the managed host's C(PATH).
    type: str
    default: vantorctl
attributes:
  check_mode:
    support: full
  diff_mode:
    support: full
notes:
  - The plan is shown as the task's diff with C(--diff), one line per change, as
    C(vantorctl apply --check) prints it.
  - The document's fields, the plan's lines and the exit codes are described in C(man vantorctl).
"""

EXAMPLES = r"""
- name: Every server serves the resources kept in git
  vantor.config.apply:
    content: "{{ lookup('ansible.builtin.file', 'vantor/' ~ inventory_hostname ~ '.yaml') }}"

- name: Exactly the resources of the document, on a copy placed by an earlier task
  vantor.config.apply:
    document: /etc/vantor/site.yaml
    prune: true

- name: Another data folder and a vantorctl outside PATH
  vantor.config.apply:
    document: /srv/vantor/site.yaml
    executable: /opt/vantorconfig/bin/vantorctl
  environment:
    VANTOR_COMMON_APPDATA: /srv/vantor

- name: A configuration file that no server reads yet
  vantor.config.apply:
    document: /srv/vantor/site.yaml
    file: /srv/staging/config.vtr
"""

RETURN = r"""
plan:
  description:
    - >-
      The changes, one line each, as C(vantorctl apply) prints them (for example
      C(+ folder "Movies"), C(~ folder "Music": description: "old" -> "new"),
      C(- live "News")); in check mode the changes that would be made.
    - Empty when the configuration already matches the document.
  returned: always
  type: list
  elements: str
  sample: ['+ folder "Movies"', '- live "News"']
refusals:
  description:
    - "What was refused, one line each as C(DOC:LINE: NAME: message); nothing was written."
  returned: failure
  type: list
  elements: str
  sample: ['site.yaml:12: Films: Time limit must be at least 1 minute']
rc:
  description: The exit code of the C(vantorctl) run that failed.
  returned: failure
  type: int
stderr:
  description: What the last C(vantorctl) run wrote on its standard error.
  returned: always
  type: str
"""

import os
import tempfile

from ansible.module_utils.basic import AnsibleModule

# vantorctl apply --check's exit codes besides 1 (refused) and 2 (unreadable document or usage),
# which fail the task with what vantorctl wrote on standard error.
NOTHING_TO_DO = 0
CHANGES_PLANNED = 3


def lines(text):
    return [line for line in text.splitlines() if line.strip()]


def fail(module, what, rc, out, err):
    refusals = lines(err)
    msg = "\n".join(refusals) if refusals else "%s exited with %d" % (what, rc)
    module.fail_json(msg=msg, refusals=refusals, plan=lines(out), rc=rc, stderr=err)


def vantorctl(module):
    executable = module.params["executable"]
    if "/" not in executable:
        return module.get_bin_path(executable, required=True)
    if not os.access(executable, os.X_OK):
        module.fail_json(msg="%s is not an executable vantorctl" % executable)
    return executable


def run(module, command, check):
    # A list, never a shell line: names and paths reach vantorctl as they are.
    return module.run_command(command + (["--check"] if check else []), check_rc=False)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            document=dict(type="path"),
            content=dict(type="str"),
            prune=dict(type="bool", default=False),
            file=dict(type="path"),
            executable=dict(type="str", default="vantorctl"),
        ),
        mutually_exclusive=[("document", "content")],
        required_one_of=[("document", "content")],
        supports_check_mode=True,
    )
    params = module.params
    program = vantorctl(module)

    temporary = None
    try:
        if params["content"] is not None:
            # Only this user may read it: a document may hold a password hash.
            handle, temporary = tempfile.mkstemp(prefix="vantor-", suffix=".yaml", dir=module.tmpdir)
            with os.fdopen(handle, "wb") as out:
                out.write(params["content"].encode("utf-8"))
            document = temporary
        else:
            document = params["document"]
        # Absolute paths, so that no path is taken for an option.
        command = [program, "apply", os.path.abspath(document)]
        if params["prune"]:
            command.append("--prune")
        if params["file"] is not None:
            command += ["--file", os.path.abspath(params["file"])]

        rc, out, err = run(module, command, check=True)
        if rc not in (NOTHING_TO_DO, CHANGES_PLANNED):
            fail(module, "vantorctl apply --check", rc, out, err)
        plan = lines(out) if rc == CHANGES_PLANNED else []
        if plan and not module.check_mode:
            # apply plans again under the file's lock and prints what it did, which is the
            # truth if another writer came between the two runs.
            rc, out, err = run(module, command, check=False)
            if rc != 0:
                fail(module, "vantorctl apply", rc, out, err)
            plan = lines(out)
    finally:
        if temporary is not None:
            os.remove(temporary)

    # No rc: Ansible takes any rc but 0 for a failure, and --check's 3 is none.
    result = dict(changed=bool(plan), plan=plan, stderr=err)
    if module._diff and plan:
        result["diff"] = dict(prepared="\n".join(plan) + "\n")
    module.exit_json(**result)


if __name__ == "__main__":
    main()
