// Tavric in VS Code: starts `tavric lsp` for Tavric documents with vscode-languageclient. The tool
// is the setting tavric.command ("tavric", found on PATH, by default); it runs in the first
// workspace folder, since a document's includes are read relative to the working directory.
'use strict';
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate(context) {
  const command = vscode.workspace.getConfiguration('tavric').get('command', 'tavric');
  const folders = vscode.workspace.workspaceFolders;
  const server = { command, args: ['lsp'], options: folders && folders.length ? { cwd: folders[0].uri.fsPath } : {} };
  client = new LanguageClient('tavric', 'Tavric', server, {
    documentSelector: [{ scheme: 'file', language: 'tavric' }],
  });
  context.subscriptions.push(client.start());
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
