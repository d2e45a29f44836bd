# fish completion for corvane(1): options, the values they take, attribute labels after --set and
# --remove (asked of corvane itself), and files.

function __corvane_labels
    corvane --labels 2>/dev/null
end

complete -c corvane -l help -d 'Show the options and exit'
complete -c corvane -l version -d 'Show the version and exit'
complete -c corvane -l scratchpad -d 'Open a scratchpad window'
complete -c corvane -l list -d 'Print every attribute, decoded'
complete -c corvane -l json -d 'With --list: one JSON document'
complete -c corvane -l set -x -a '(__corvane_labels)' -d 'Store a value: NAME VALUE'
complete -c corvane -l kind -x -a 'list tags date text plain' -d 'How --set stores the value'
complete -c corvane -l remove -x -a '(__corvane_labels)' -d 'Remove an attribute'
complete -c corvane -l tag -x -a 'add remove set' -d 'Change the tags: OPERATION TAG,TAG'
complete -c corvane -l clear -d 'Remove every user. attribute'
complete -c corvane -l dump -d 'Print every attribute with its exact bytes, as JSON'
complete -c corvane -l restore -r -F -d 'Write a dump back'
complete -c corvane -l to -x -a '(__fish_complete_directories)' -d 'With --restore: the copy to restore onto'
complete -c corvane -l find -x -d 'Print the files carrying a tag'
complete -c corvane -l bridge -d 'Copy tags, comment, where from, rating between Finder and desktop'
complete -c corvane -l to-desktop -d 'With --bridge: copy every pair not in step to the desktop'
complete -c corvane -l to-mac -d 'With --bridge: copy every pair not in step to the Mac side'
complete -c corvane -l bridge-status -d 'With --list: whether Finder and the desktop are in step'
complete -c corvane -l undo-last -d 'Put back what the last run changed'
complete -c corvane -l labels -d 'Print the labels an attribute name may be'
complete -c corvane -s R -l recursive -d 'Also everything below each folder'
complete -c corvane -s h -l no-dereference -d 'Act on symbolic links themselves'
complete -c corvane -l match -x -d 'Only names matching the regular expression'
complete -c corvane -l dry-run -d 'Say what would change, changing nothing'
complete -c corvane -l yes -d 'Ask nothing'
