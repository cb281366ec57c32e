// SPDX-License-Identifier: MIT
// Validates one .glb with the Khronos glTF validator and prints its findings.
//   node validate_gltf.js FILE.glb [NODE_MODULES]
// Exit status 0 when the file has no errors and no warnings, 1 otherwise, 2 on misuse.
'use strict';
const fs = require('fs');
const path = require('path');

const [file, modules] = process.argv.slice(2);
if (!file) {
    console.error('usage: validate_gltf.js FILE.glb [NODE_MODULES]');
    process.exit(2);
}
const validator = require(modules ? path.resolve(modules, 'gltf-validator') : 'gltf-validator');

validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {maxIssues: 100})
    .then((report) => {
        const issues = report.issues;
        for (const m of issues.messages) {
            console.log(`${m.severity === 0 ? 'error' : m.severity === 1 ? 'warning' : 'note'}` +
                        ` ${m.code} ${m.pointer || ''}: ${m.message}`);
        }
        console.log(`errors ${issues.numErrors}, warnings ${issues.numWarnings}`);
        process.exit(issues.numErrors === 0 && issues.numWarnings === 0 ? 0 : 1);
    })
    .catch((error) => {
        console.error(`cannot validate ${file}: ${error}`);
        process.exit(1);
    });
